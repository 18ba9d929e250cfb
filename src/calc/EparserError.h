#pragma once

#include <stdexcept>
#include <string>

// The evaluator's own failure ("syntax error", "missing ')'", ...). It is raised while an
// expression is taken apart and never leaves EvaluateExpression.
class EparserError : public std::runtime_error
{
public:
    explicit EparserError(const std::string &message) : std::runtime_error(message) {}
};
