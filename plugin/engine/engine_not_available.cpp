// The not-available handlers that fill a slot while its library is not loaded.
//
// A handler is reached through the same variadic call as a library's entry, so it receives an
// index and an argument list it cannot see. To pass a call on after starting the engine it
// reads the arguments back with the exact types of the operation's signature
// (engine_signatures.h) and calls the slot again with them.
#include "engine/engine_loader.h"
#include "engine/engine_slots.h"

#include <engine_signatures.h>

#include <cstdarg>
#include <tuple>

namespace {

// Reads the arguments of a signature from `arguments`, in order, and calls `call` with them.
template <typename Signature, typename Call>
EngineResult ForwardArguments(va_list& arguments, Signature signature, Call call) {
    return std::apply(call, read_engine_arguments(arguments, signature));
}

} // namespace

EngineResult MovieNotAvailable(int32_t index, ...) {
    if (EngineStartAttempted) return EngineNotAvailable;
    StartEngine();
    va_list arguments;
    va_start(arguments, index);
    EngineResult result = 0;
    bool known = MovieOperations::visit(index, [&]<MovieOperation Operation>() {
        result = ForwardArguments(
            arguments, typename MovieSignature<Operation>::type{},
            [index](auto... values) { return MovieLibrary.Slot(index, values...); });
    });
    va_end(arguments);
    return known ? result : MovieLibrary.Slot(index);
}

EngineResult ComponentNotAvailable(int32_t index, int32_t one, ...) {
    if (EngineStartAttempted) return EngineNotAvailable;
    StartEngine();
    va_list arguments;
    va_start(arguments, one);
    EngineResult result = 0;
    bool known = ComponentOperations::visit(index, [&]<ComponentOperation Operation>() {
        result = ForwardArguments(
            arguments, typename ComponentSignature<Operation>::type{},
            [index, one](auto... values) { return ComponentLibrary.Slot(index, one, values...); });
    });
    va_end(arguments);
    return known ? result : ComponentLibrary.Slot(index, one);
}
