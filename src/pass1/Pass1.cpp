// The run of the first pass: read the source, lay it out, write the files.
#include "pass1/Pass1.h"

int RunPass1(const Pass1Paths& paths, Pass1Result& result, std::ostream& errors)
{
    result = Pass1Result{};
    errors << paths.Source << ": error: the first pass is not built yet\n";
    return 2;
}
