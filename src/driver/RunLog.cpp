// The run log stream itself.
#include "driver/RunLog.h"

std::ofstream LogStream;
