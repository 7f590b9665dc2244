// The resource-script compiler's core: preprocessed script text in, resources out, in the binary
// layouts Windows keeps them in (string blocks of 16, accelerator tables, icon and cursor groups,
// menu and dialog templates, version information). Running the preprocessor, reading files and
// writing the generated source are the driver's business (main.cpp), so the core can be fuzzed.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace moxrc {

// A type or name: a 16-bit number, or a string (upper-cased, as Windows stores names).
struct ResName {
    bool isId = true;
    std::uint16_t id = 0;
    std::u16string text;
    bool operator<(const ResName& o) const;
    bool operator==(const ResName& o) const { return isId == o.isId && id == o.id && text == o.text; }
};

struct Resource {
    ResName type;
    ResName name;
    std::uint16_t language = 0;
    std::vector<std::uint8_t> data;
};

// A refusal, naming where in which file and what was expected there.
struct CompileError : std::runtime_error {
    CompileError(std::string file, int line, const std::string& what)
        : std::runtime_error(what), file(std::move(file)), line(line)
    {
    }
    std::string file;
    int line;
};

// Reads a file a statement names (`name` as written, `\` or `/`, any case) for a statement in
// `fromFile`. Returns false when no such file can be found or read.
using FileReader = std::function<bool(const std::string& name, const std::string& fromFile, std::vector<std::uint8_t>& data)>;

struct Options {
    // Files whose text was Unicode (UTF-16 or UTF-8 with a byte-order mark): their strings are
    // UTF-8 after conversion, whatever `#pragma code_page` says.
    std::set<std::string> unicodeFiles;
    std::uint16_t defaultLanguage = 0x0409; // as Windows' compiler starts
    std::size_t maxFileBytes = 256u << 20;
};

// Compiles preprocessed text (with the preprocessor's `# line "file"` markers). Lines that came
// from files named *.h or *.c are ignored, as Windows' compiler ignores everything but
// preprocessor directives in them. Throws CompileError.
std::vector<Resource> Compile(const std::string& text, const Options& options, const FileReader& read);

// Text helpers shared with the driver.
std::string Utf16ToUtf8(const std::u16string& s);
std::u16string Utf8ToUtf16(const std::string& s, bool* valid = nullptr);
// Converts a file's bytes to UTF-8: UTF-16 (with a byte-order mark, or plainly little-endian
// text) and UTF-8 with a mark are Unicode; anything else is returned as it is.
std::string DecodeFileText(const std::vector<std::uint8_t>& bytes, bool* unicode);

} // namespace moxrc
