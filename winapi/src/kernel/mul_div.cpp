#include <winbase.h>

#include <climits>
#include <cstdint>
#include <cstdlib>

int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator) {
    if (nDenominator == 0) return -1;
    int64_t product = static_cast<int64_t>(nNumber) * nNumerator;
    int64_t magnitude = std::llabs(product);
    int64_t divisor = std::llabs(static_cast<int64_t>(nDenominator));
    int64_t quotient = (magnitude + divisor / 2) / divisor;
    bool negative = (product < 0) != (nDenominator < 0);
    int64_t result = negative ? -quotient : quotient;
    if (result > INT_MAX || result < INT_MIN) return -1;
    return static_cast<int>(result);
}
