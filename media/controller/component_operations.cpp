#include "controller/component_operations.h"

#include "common/engine_error.h"
#include "common/engine_state.h"
#include "controller/controller.h"

#include <engine_signatures.h>

#include <tuple>

namespace lanternix::media {

namespace {

template <ComponentOperation Operation>
using Op = std::integral_constant<ComponentOperation, Operation>;
using CO = ComponentOperation;

EngineResult run(Op<CO::ActivateController>, Controller& c, HWND window, ULONG active) {
    c.activate(window, active != 0);
    return EngineOk;
}
EngineResult run(Op<CO::ControllerAction>, Controller& c, ULONG action, void* parameter) {
    return c.action(action, parameter);
}
EngineResult run(Op<CO::DrawController>, Controller& c, HWND window) {
    c.draw(window);
    return EngineOk;
}
EngineResult run(Op<CO::GetControllerBounds>, Controller& c, RECT* bounds) {
    if (!bounds) return EngineErrorBadParameter;
    *bounds = c.bounds();
    return EngineOk;
}
EngineResult run(Op<CO::IdleController>, Controller& c) {
    c.idle();
    return EngineOk;
}
EngineResult run(Op<CO::ControllerEvent>, Controller& c, HWND window, UINT message, WPARAM wparam,
                 LPARAM lparam) {
    return c.event(window, message, wparam, lparam) ? 1 : 0;
}
EngineResult run(Op<CO::DetachMovie>, Controller& c) {
    c.detach_movie();
    return EngineOk;
}
EngineResult run(Op<CO::SetActionFilter>, Controller& c, EngineActionFilterProc filter,
                 void* instance) {
    c.set_filter(filter, instance);
    return EngineOk;
}
EngineResult run(Op<CO::ControllerSetMovie>, Controller& c, ULONG movie, HWND window, LONG left,
                 LONG top) {
    c.set_movie(movie, window, left, top);
    return EngineOk;
}
EngineResult run(Op<CO::ControllerMovieChanged>, Controller& c, ULONG movie) {
    c.movie_changed(movie);
    return EngineOk;
}

} // namespace

EngineResult component_entry(int32_t index, int32_t, va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
    EngineResult result = EngineErrorBadParameter;
    ComponentOperations::visit(index, [&]<ComponentOperation Operation>() {
        auto args = read_engine_arguments(copy, typename ComponentSignature<Operation>::type{});
        // Every operation names its controller first.
        Controller* controller = find_controller(std::get<0>(args));
        if (!controller) {
            result = EngineErrorBadHandle;
            return;
        }
        result = std::apply(
            [&](ULONG, auto... rest) { return run(Op<Operation>{}, *controller, rest...); }, args);
    });
    va_end(copy);
    return result;
}

EngineResult component_initialize() {
    return EngineOk;
}

} // namespace lanternix::media
