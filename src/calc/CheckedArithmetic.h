#pragma once

// Extended-precision arithmetic in which invalid operation, division by zero and overflow
// are failures: each operation throws std::runtime_error with the fault's message
// ("Invalid floating point operation", "Floating point division by zero",
// "Floating point overflow"). Underflow and inexact results are not faults.
//
// The fault flags must be clear when a calculation starts (ClearFaults); a fault leaves its
// flag raised, so clear them again after a failed calculation.

// Clears the flags of the faults that the operations report.
void ClearFaults();

long double Add(long double a, long double b);
long double Subtract(long double a, long double b);
long double Multiply(long double a, long double b);
long double Divide(long double a, long double b);
long double Ln(long double a);
long double Exp(long double a);
long double Sine(long double a);
long double Cosine(long double a);
long double Tangent(long double a);
long double ArcTangent(long double a);
long double SquareRoot(long double a);

// base^exponent. A whole-number exponent multiplies the base out (without overflow or
// underflow in between), so the power is exact whenever it fits in an extended number:
// (-2)^2 = 4, 0^2 = 0, 0^0 = 1, and 0 to a negative power is a division by zero. Any other
// exponent gives e^(exponent * ln base), so a base that is not greater than 0 fails.
long double Power(long double base, long double exponent);
