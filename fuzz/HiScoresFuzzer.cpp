// HiScoresFuzzer.cpp: one input is "hiscores.dat". The table loads it, ranks a new result and
// removes a name as the screens do, and what it writes back must load to the same bytes.
#include "FuzzSupport.h"
#include "progress/CHiScoreTable.h"

#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ByteSource choice(data, size);
    fuzz::PutDataFile("hiscores.dat", data, size);
    ScopedFakeEngine fake;
    {
        CHiScoreTable table;
        for (int t = 0; t < CHiScoreTable::kTables; ++t) {
            for (int row = 0; row < CHiScoreTable::kRows; ++row) {
                const char* name = table.GetName(t, row);
                if (name == nullptr)
                    std::abort();
                (void)std::string(name);
            }
        }
        const int t = choice.Below(2);
        const std::string name = table.GetName(t, choice.Below(CHiScoreTable::kRows));
        (void)table.AddScore(t, name, choice.Below(13), choice.Next() * 1000);
        (void)table.RemoveName(1 - t, name);
    }
    const std::vector<std::uint8_t> written = fuzz::DataFile("hiscores.dat");
    if (written.size() != CHiScoreTable::kFileSize)
        std::abort();
    { CHiScoreTable again; }
    if (fuzz::DataFile("hiscores.dat") != written)
        std::abort();
    return 0;
}
