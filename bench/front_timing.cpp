// How much the front's conversions (object file read back, Intel HEX, binary,
// listing, written) add to the two passes, on a generated 30,000-statement
// source; both timed in-process, so starting a process costs neither.
//
//   front_timing STATEMENTS REPS OPCODE_TABLE
//
// Works in the current directory (prog.asm and the files of the run).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <time.h>
#include <vector>

#include "driver/Run.h"
#include "front/Front.h"
#include "output/Formats.h"

namespace {

// A source of the given length: EQU constants, then code in routines of a
// dozen statements with a label each, jumps and calls to earlier and later
// labels, data blocks now and then, a comment on every fourth line.
void WriteSource(const std::string& path, int statements)
{
    static const char* const Plain[] = {"MOV A,B", "MOV M,A", "MOV E,M", "MVI A,3AH", "MVI C,PORT", "ADD B", "ADI 10",
        "ANI 0FH", "INX H", "DCX D", "DAD B", "LXI H,BASE", "LDA 2100H", "STA 2101H", "PUSH PSW", "POP B", "XCHG",
        "CMA", "RAL", "CPI 20H", "OUT PORT", "IN PORT", "INR A", "ORA C"};
    std::ofstream source(path);
    source << "; generated for timing the front\n";
    source << "PORT    EQU 10H\n";
    source << "BASE    EQU 2000H\n";
    source << "        ORG 0100H\n";
    unsigned seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFFu;
    };
    int routines = (statements + 11) / 12;
    int written = 0;
    for (int routine = 0; written < statements; ++routine) {
        for (int i = 0; i < 12 && written < statements; ++i, ++written) {
            std::string label = i == 0 ? "R" + std::to_string(routine) + ":" : "";
            label.resize(8, ' ');
            source << label;
            unsigned pick = next();
            if (i == 11)
                source << "RET";
            else if (pick % 16 == 0)
                source << "CALL R" << next() % static_cast<unsigned>(routines);
            else if (pick % 16 == 1)
                source << "JNZ R" << next() % static_cast<unsigned>(routines);
            else if (pick % 32 == 2)
                source << "DB 1,2,3,4,5,6,7,8,9,10";
            else if (pick % 32 == 3)
                source << "DW 1234H,BASE,0";
            else
                source << Plain[pick % (sizeof Plain / sizeof Plain[0])];
            if (written % 4 == 0)
                source << "            ; step " << written;
            source << '\n';
        }
    }
    source << "        END R0\n";
}

double Median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    std::size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// The machine is shared: the process's own cpu time (user and system, so
// the writes count) is steadier than elapsed time.
struct Clock {
    double Cpu;
    std::chrono::steady_clock::time_point Wall;
};

Clock Now()
{
    timespec cpu;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    return Clock{
        static_cast<double>(cpu.tv_sec) + static_cast<double>(cpu.tv_nsec) * 1e-9, std::chrono::steady_clock::now()};
}

double Seconds(const Clock& from)
{
    return Now().Cpu - from.Cpu;
}

double WallSeconds(const Clock& from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from.Wall).count();
}

// Writes a file as the front does; its size.
template <typename Writer> std::size_t WriteFile(const char* path, Writer write)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    write(file);
    std::size_t size = static_cast<std::size_t>(file.tellp());
    file.close();
    if (file.fail()) {
        std::fprintf(stderr, "front_timing: cannot write %s\n", path);
        std::exit(2);
    }
    return size;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: front_timing STATEMENTS REPS OPCODE_TABLE\n");
        return 2;
    }
    int statements = std::atoi(argv[1]);
    int reps = std::max(1, std::atoi(argv[2]));
    std::string table = argv[3];
    WriteSource("prog.asm", statements);

    std::vector<double> passes, passesLogged, conversions, passesWall, conversionsWall;
    std::vector<double> phases[4]; // object file parsed; hex, binary, listing written
    std::size_t hexSize = 0, binarySize = 0, listingSize = 0;
    int bytes = 0;
    for (int rep = 0; rep <= reps; ++rep) { // rep 0 warms up
        for (int logged = 0; logged < 2; ++logged) {
            Pass1Paths paths{"prog.asm", "prog.pass1", "prog.sym", table, logged ? "log-Pass1.txt" : ""};
            Pass1Result result;
            std::ostringstream errors;
            auto start = Now();
            if (RunPass1(paths, result, errors) != 0
                || RunPass2("prog", table.c_str(), logged ? "log-Pass2.txt" : "") != 0) {
                std::fprintf(stderr, "front_timing: the passes failed:\n%s", errors.str().c_str());
                return 1;
            }
            double took = Seconds(start);
            if (rep > 0)
                (logged ? passesLogged : passes).push_back(took);
            if (rep > 0 && !logged)
                passesWall.push_back(WallSeconds(start));
            if (logged)
                continue;

            start = Now();
            std::string text;
            ReadFileText("prog.o", text);
            ByteImage image;
            std::vector<ObjectFault> faults;
            auto phase = Now();
            bool clean = ReadObjectText(text, image, faults);
            if (rep > 0)
                phases[0].push_back(Seconds(phase));
            if (!clean) {
                std::fprintf(stderr, "front_timing: the object file has faults\n");
                return 1;
            }
            phase = Now();
            hexSize = WriteFile("prog.hex", [&](std::ostream& out) {
                WriteIntelHex(out, image, result.HasStartAddress, result.StartAddress, false);
            });
            if (rep > 0)
                phases[1].push_back(Seconds(phase));
            phase = Now();
            binarySize = WriteFile("prog.bin", [&](std::ostream& out) { WriteBinary(out, image, 0xFF); });
            if (rep > 0)
                phases[2].push_back(Seconds(phase));
            phase = Now();
            listingSize = WriteFile("prog.lst", [&](std::ostream& out) {
                WriteListing(out, result.Lines, result.Symbols, image, result.HasStartAddress, result.StartAddress);
            });
            if (rep > 0)
                phases[3].push_back(Seconds(phase));
            took = Seconds(start);
            if (rep > 0) {
                conversions.push_back(took);
                conversionsWall.push_back(WallSeconds(start));
            }
            bytes = image.ByteCount;
        }
    }
    double p = Median(passes), pl = Median(passesLogged), c = Median(conversions);
    double pw = Median(passesWall), cw = Median(conversionsWall);
    std::printf("statements %d, bytes %d; files: hex %zu, bin %zu, lst %zu bytes; medians of %d runs\n", statements,
        bytes, hexSize, binarySize, listingSize, reps);
    std::printf("cpu ms (user + system), wall ms beside:\n");
    std::printf("  two passes, no trace logs:     %8.2f   [wall %8.2f]\n", p * 1000, pw * 1000);
    std::printf("  two passes, with trace logs:   %8.2f\n", pl * 1000);
    std::printf(
        "  conversions (read .o, format hex, bin, lst, write them): %8.2f   [wall %8.2f]\n", c * 1000, cw * 1000);
    std::printf("    of which: object parsed %.2f; formatted and written: hex %.2f, bin %.2f, listing %.2f\n",
        Median(phases[0]) * 1000, Median(phases[1]) * 1000, Median(phases[2]) * 1000, Median(phases[3]) * 1000);
    std::printf("conversions / two passes without logs: %.1f %% (limit 5 %%)  %s   [wall %.1f %%; with logs %.1f %%]\n",
        100 * c / p, c <= 0.05 * p ? "PASS" : "FAIL", 100 * cw / pw, 100 * c / pl);
    // On a loaded machine the fastest run is the best estimate of the work itself.
    double cb = *std::min_element(conversions.begin(), conversions.end());
    double pb = *std::min_element(passes.begin(), passes.end());
    std::printf("fastest runs: conversions %.2f ms, passes without logs %.2f ms: %.1f %%\n", cb * 1000, pb * 1000,
        100 * cb / pb);
    return 0;
}
