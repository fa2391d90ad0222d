// The program's precondition check. A failed precondition is a programming
// error: it reports the expression, the source unit and the line on standard
// error and ends the program. User input never reaches these checks.
#pragma once

#include <cstddef> // NULL in the checked expressions

namespace quandrel {

// Writes "Assertion failed: <expression>, file <unit>, line <line>" and aborts.
[[noreturn]] void ReportAssertion(const char* pcExpression, const char* pcFile, int lLine);

// The source unit of a __FILE__ path: the part after the last '/' or '\'.
constexpr const char* SourceUnitName(const char* pcPath)
{
    const char* pcName = pcPath;
    for (const char* pc = pcPath; *pc != '\0'; ++pc) {
        if (*pc == '/' || *pc == '\\') {
            pcName = pc + 1;
        }
    }
    return pcName;
}

} // namespace quandrel

#define QASSERT(expr) \
    ((expr) ? static_cast<void>(0) \
            : ::quandrel::ReportAssertion(#expr, ::quandrel::SourceUnitName(__FILE__), __LINE__))
