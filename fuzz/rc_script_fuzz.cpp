// The resource compiler's reader: any bytes as a script (after the text conversion the tool does)
// must compile or be refused with a CompileError, never crash or read out of bounds. Every file
// the script names reads as the part of the input after the first NUL byte, so bitmaps, icons and
// cursors of any shape reach their parsers too.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "rc_compiler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::uint8_t* nul = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t scriptSize = nul ? std::size_t(nul - data) : size;
    const std::vector<std::uint8_t> file = nul ? std::vector<std::uint8_t>(nul + 1, data + size) : std::vector<std::uint8_t>{};
    bool unicode = false;
    const std::string text = moxrc::DecodeFileText(std::vector<std::uint8_t>(data, data + scriptSize), &unicode);
    moxrc::Options options;
    if (unicode)
        options.unicodeFiles.insert("");
    const moxrc::FileReader reader = [&](const std::string&, const std::string&, std::vector<std::uint8_t>& out) {
        out = file;
        return true;
    };
    try {
        moxrc::Compile(text, options, reader);
    } catch (const moxrc::CompileError&) {
    }
    return 0;
}
