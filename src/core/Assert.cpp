#include "Assert.h"

#include <cstdio>
#include <cstdlib>

namespace quandrel {

void ReportAssertion(const char* pcExpression, const char* pcFile, int lLine)
{
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", pcExpression, pcFile, lLine);
    std::fflush(stderr);
    std::abort();
}

} // namespace quandrel
