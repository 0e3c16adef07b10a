// Input files whose failed reads end the reading instead of the program.
#include "driver/InputFile.h"

#include <sys/stat.h>

#include "driver/RunLog.h"

bool OpenInputFile(InputFile& input, const char* path)
{
    CloseInputFile(input);
    input.Name = path;
    input.Failed = false;
    struct stat status;
    if (::stat(path, &status) == 0 && S_ISDIR(status.st_mode))
        return false;
    if (input.File.open(path, std::ios::in | std::ios::binary) == nullptr)
        return false;
    input.Source = &input.File;
    return true;
}

void UseInputBuffer(InputFile& input, std::streambuf& buffer, const char* name)
{
    CloseInputFile(input);
    input.Name = name;
    input.Failed = false;
    input.Source = &buffer;
}

void StopFailedInput(InputFile& input)
{
    input.Source = nullptr;
    input.Failed = true;
    LogStream << "ERROR: Unable to read " << input.Name << ", its reading stopped" << std::endl;
}

void CloseInputFile(InputFile& input)
{
    input.File.close();
    input.Source = nullptr;
}
