#include "calc/CheckedArithmetic.h"

#include <cfenv>
#include <cmath>
#include <stdexcept>

namespace {
// Underflow and inexact results are not faults.
constexpr int TrappedFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

[[noreturn]] void ThrowOverflow()
{
    throw std::runtime_error("Floating point overflow");
}

// Since every fault ends the calculation, a flag found set after an operation was raised by
// that operation.
void CheckFloatingPointFlags()
{
    const int raised = std::fetestexcept(TrappedFaults);
    if (raised & FE_INVALID)
        throw std::runtime_error("Invalid floating point operation");
    if (raised & FE_DIVBYZERO)
        throw std::runtime_error("Floating point division by zero");
    if (raised & FE_OVERFLOW)
        ThrowOverflow();
}

// The operands and the result pass through volatile storage so that the compiler cannot move
// the flag test before the operation.
template <typename Operation> long double Checked(long double a, long double b, Operation op)
{
    volatile long double left = a;
    volatile long double right = b;
    volatile long double result = op(left, right);
    CheckFloatingPointFlags();
    return result;
}

template <typename Operation> long double Checked(long double a, Operation op)
{
    return Checked(a, 0, [op](long double x, long double) { return op(x); });
}

// The x87 reduces no argument of 2^63 or more; such a sine or cosine counts as 0.
constexpr long double TrigonometricLimit = 9223372036854775808.0L;

// Powers whose binary logarithm lies beyond this are far outside the extended range (about
// 2^-16445 to 2^16384): they overflow or underflow without being multiplied out.
constexpr long double FarOutside = 20000;

// Whole powers up to this are multiplied out.
constexpr long double MaxFactors = 64;

bool IsOdd(long double whole)
{
    return std::fmod(whole, 2.0L) != 0;
}

// A number as mantissa in [0.5, 1) times 2^Exponent, so that a product of many factors does
// not overflow or underflow on the way.
struct TScaled
{
    long double Mantissa = 0.5L;
    long Exponent = 1;

    static TScaled Of(long double value)
    {
        int exponent = 0;
        const long double mantissa = std::frexp(value, &exponent);
        return {mantissa, exponent};
    }

    TScaled Times(const TScaled &other) const
    {
        TScaled product = Of(Mantissa * other.Mantissa);
        product.Exponent += Exponent + other.Exponent;
        return product;
    }
};

// |base|^n for a whole n > 0 and |base| not 0 or 1, by repeated squaring.
TScaled ScaledPower(long double magnitude, long double n)
{
    TScaled result = TScaled::Of(1);
    TScaled square = TScaled::Of(magnitude);
    for (;;) {
        if (IsOdd(n))
            result = result.Times(square);
        n = std::floor(n / 2);
        if (n == 0)
            return result;
        square = square.Times(square);
    }
}

bool IsPowerOfTwo(long double magnitude)
{
    int exponent = 0;
    return std::frexp(magnitude, &exponent) == 0.5L;
}

long double WholePower(long double base, long double n)
{
    if (n == 0)
        return 1;
    if (base == 0)
        return n < 0 ? Divide(1, base) : IsOdd(n) ? base : 0;
    const bool negative = base < 0 && IsOdd(n);
    const long double magnitude = std::fabs(base);
    if (magnitude == 1)
        return negative ? -1 : 1;
    if (std::fabs(n) > FarOutside / std::fabs(std::log2(magnitude))) {
        if ((n > 0) == (magnitude > 1))
            ThrowOverflow();
        return negative ? -0.0L : 0.0L;
    }
    // Multiplied out, up to 64 factors give the exact power whenever it fits (x^2 is x*x).
    // Beyond, the power of a base other than a power of two has more digits than fit, and the
    // library's power rounds it once instead of at every product.
    if (std::fabs(n) > MaxFactors && !IsPowerOfTwo(magnitude))
        return Checked(base, n, [](long double x, long double y) { return std::pow(x, y); });
    const TScaled power = ScaledPower(magnitude, std::fabs(n));
    const long double value = n > 0 ? std::ldexp(power.Mantissa, int(power.Exponent))
                                    : std::ldexp(1 / power.Mantissa, int(-power.Exponent));
    if (std::isinf(value))
        ThrowOverflow();
    return negative ? -value : value;
}
} // namespace

void ClearFaults()
{
    // Clearing the flags is slow and they are seldom raised: look before clearing.
    if (std::fetestexcept(TrappedFaults))
        std::feclearexcept(TrappedFaults);
}

long double Add(long double a, long double b)
{
    return Checked(a, b, [](long double x, long double y) { return x + y; });
}

long double Subtract(long double a, long double b)
{
    return Checked(a, b, [](long double x, long double y) { return x - y; });
}

long double Multiply(long double a, long double b)
{
    return Checked(a, b, [](long double x, long double y) { return x * y; });
}

long double Divide(long double a, long double b)
{
    return Checked(a, b, [](long double x, long double y) { return x / y; });
}

long double Ln(long double a)
{
    return Checked(a, [](long double x) { return std::log(x); });
}

long double Exp(long double a)
{
    return Checked(a, [](long double x) { return std::exp(x); });
}

long double Sine(long double a)
{
    if (std::fabs(a) >= TrigonometricLimit)
        return 0;
    return Checked(a, [](long double x) { return std::sin(x); });
}

long double Cosine(long double a)
{
    if (std::fabs(a) >= TrigonometricLimit)
        return 0;
    return Checked(a, [](long double x) { return std::cos(x); });
}

long double Tangent(long double a)
{
    return Divide(Sine(a), Cosine(a));
}

long double ArcTangent(long double a)
{
    return Checked(a, [](long double x) { return std::atan(x); });
}

long double SquareRoot(long double a)
{
    return Checked(a, [](long double x) { return std::sqrt(x); });
}

long double Power(long double base, long double exponent)
{
    if (std::trunc(exponent) == exponent)
        return WholePower(base, exponent);
    return Exp(Multiply(exponent, Ln(base)));
}
