// FontFuzzer.cpp: one input is a bitmap font file. The font loads it and lays out, measures and
// draws texts with every kind of markup, line breaks and characters it may lack.
#include "FuzzSupport.h"
#include "framework/CFFont.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ByteSource choice(data, size);
    fuzz::WriteFile(fuzz::UseAsRoot("font.fnt"), data, size);
    ScopedFakeEngine fake;
    CFFont font("font.fnt");
    std::wstring tail;
    for (int i = 0; i < 16; ++i)
        tail.push_back(static_cast<wchar_t>(choice.Next() | choice.Next() << 8));
    const std::wstring texts[] = {L"Score: 1,234", L"@cFF8000Orange@c and @b07link@b\nsecond line", L"@", L"@c",
                                  L"@b", L"\n\n\n", L"", tail};
    font.SetLetterSpacing(choice.Below(5) - 2);
    font.SetLineSpacing(choice.Below(9) - 4);
    for (const std::wstring& text : texts) {
        for (int alignment = 0; alignment < 3; ++alignment) {
            font.DrawText(400.0f, 300.0f, text.c_str(), alignment);
            std::vector<CFTextLink> links;
            font.FindTextLinks(links, 10.0f, 20.0f, text.c_str(), alignment);
        }
        (void)font.GetTextWidth(text.c_str());
    }
    (void)font.GetLineHeight();
    CFFont copy(font);
    copy.DrawText(0.0f, 0.0f, "copy", 2);
    return 0;
}
