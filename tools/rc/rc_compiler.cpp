// Reading a preprocessed resource script and building Windows' binary resource layouts.
#include "rc_compiler.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>

namespace moxrc {

bool ResName::operator<(const ResName& o) const
{
    if (isId != o.isId)
        return !isId; // names sort before numbers, as Windows orders a directory
    return isId ? id < o.id : text < o.text;
}

namespace {

// Resource types by number.
enum : std::uint16_t {
    kCursor = 1, kBitmap = 2, kIcon = 3, kMenu = 4, kDialog = 5, kString = 6, kFont = 8, kAccelerator = 9,
    kRcData = 10, kMessageTable = 11, kGroupCursor = 12, kGroupIcon = 14, kVersion = 16, kAniCursor = 21,
    kAniIcon = 22, kHtml = 23, kDlgInit = 240, kToolbar = 241
};

// Window and control styles the templates default to.
constexpr std::uint32_t WS_POPUP = 0x80000000, WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000,
                        WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_SYSMENU = 0x00080000,
                        WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000, DS_SETFONT = 0x40, DS_SHELLFONT = 0x48;

enum class Tok { End, Number, String, Word, Punct };

struct Token {
    Tok kind = Tok::End;
    std::string text; // a word or punctuation as written; a string's contents between its quotes
    std::uint32_t value = 0;
    bool isLong = false;
    bool wide = false;
    bool unicode = false; // the file's text was Unicode
    int codePage = 0;     // from #pragma code_page; 0 = none named
    const std::string* file = nullptr;
    int line = 0;
};

bool EndsWithCI(const std::string& s, const char* suffix)
{
    const std::size_t n = std::strlen(suffix);
    if (s.size() < n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != suffix[i])
            return false;
    return true;
}

bool EqualCI(const std::string& a, const char* b)
{
    const std::size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != static_cast<unsigned char>(b[i]))
            return false;
    return true;
}

char16_t UpperUnit(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return char16_t(c - 0x20);
    return c;
}

constexpr char16_t kCp1252High[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

class Lexer {
public:
    Lexer(const std::string& text, const Options& options) : options_(options) { Run(text); }
    std::vector<Token> tokens;

private:
    const Options& options_;
    std::vector<std::unique_ptr<std::string>> files_;
    const std::string* file_ = nullptr;
    bool unicode_ = false;
    bool skip_ = false;
    int codePage_ = 0;

    [[noreturn]] void Fail(int line, const std::string& what) { throw CompileError(file_ ? *file_ : "", line, what); }

    void SetFile(const std::string& name)
    {
        if (!file_ || *file_ != name) {
            for (auto& f : files_)
                if (*f == name)
                    file_ = f.get();
            if (!file_ || *file_ != name) {
                files_.push_back(std::make_unique<std::string>(name));
                file_ = files_.back().get();
            }
        }
        unicode_ = options_.unicodeFiles.count(name) != 0;
        skip_ = EndsWithCI(name, ".h") || EndsWithCI(name, ".c");
    }

    // "# 12 "file" 2", "#line 12 "file"" and "#pragma code_page(1252)"; others are ignored.
    void Directive(const std::string& l, int line, int& nextLine)
    {
        std::size_t i = l.find('#') + 1;
        auto skipSpace = [&] {
            while (i < l.size() && (l[i] == ' ' || l[i] == '\t'))
                ++i;
        };
        skipSpace();
        if (l.compare(i, 4, "line") == 0) {
            i += 4;
            skipSpace();
        }
        if (i < l.size() && std::isdigit(static_cast<unsigned char>(l[i]))) {
            long n = 0;
            while (i < l.size() && std::isdigit(static_cast<unsigned char>(l[i])) && n < 100000000)
                n = n * 10 + (l[i++] - '0');
            skipSpace();
            if (i < l.size() && l[i] == '"') {
                std::string name;
                for (++i; i < l.size() && l[i] != '"'; ++i) {
                    if (l[i] == '\\' && i + 1 < l.size())
                        ++i;
                    name += l[i];
                }
                SetFile(name);
            }
            nextLine = int(n);
            return;
        }
        if (l.compare(i, 6, "pragma") != 0)
            return;
        i += 6;
        skipSpace();
        if (l.compare(i, 9, "code_page") != 0 || skip_)
            return;
        i += 9;
        skipSpace();
        if (i >= l.size() || l[i] != '(')
            Fail(line, "expected '(' after #pragma code_page");
        ++i;
        skipSpace();
        std::string arg;
        while (i < l.size() && l[i] != ')' && l[i] != ' ')
            arg += l[i++];
        if (EqualCI(arg, "DEFAULT")) {
            codePage_ = 0;
            return;
        }
        char* end = nullptr;
        const long cp = std::strtol(arg.c_str(), &end, 10);
        if (arg.empty() || *end)
            Fail(line, "expected a code page number or DEFAULT in #pragma code_page, found '" + arg + "'");
        if (cp != 1252 && cp != 65001 && cp != 28591 && cp != 20127 && cp != 437 && cp != 850)
            Fail(line, "code page " + arg + " is not supported (1252, 65001, 28591 and 20127 are)");
        codePage_ = (cp == 437 || cp == 850) ? 1252 : int(cp);
    }

    void Run(const std::string& text)
    {
        SetFile("");
        int line = 1;
        std::size_t pos = 0;
        while (pos <= text.size()) {
            std::size_t eol = text.find('\n', pos);
            if (eol == std::string::npos)
                eol = text.size();
            std::string l = text.substr(pos, eol - pos);
            if (!l.empty() && l.back() == '\r')
                l.pop_back();
            pos = eol + 1;
            int nextLine = line + 1;
            const std::size_t first = l.find_first_not_of(" \t");
            if (first != std::string::npos && l[first] == '#')
                Directive(l, line, nextLine);
            else if (!skip_)
                Line(l, line);
            line = nextLine;
        }
    }

    Token Make(Tok kind, int line)
    {
        Token t;
        t.kind = kind;
        t.file = file_;
        t.line = line;
        t.unicode = unicode_;
        t.codePage = codePage_;
        return t;
    }

    static bool WordChar(char c)
    {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '\\' || c == '/' ||
               c == ':' || c == '$' || c == '@' || static_cast<unsigned char>(c) >= 0x80;
    }

    void Line(const std::string& l, int line)
    {
        std::size_t i = 0;
        while (i < l.size()) {
            const char c = l[i];
            if (c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r') {
                ++i;
            } else if (c == '/' && i + 1 < l.size() && l[i + 1] == '/') {
                return; // the preprocessor keeps none, but an included .rc may be read without it
            } else if (c == '"' || ((c == 'L' || c == 'l') && i + 1 < l.size() && l[i + 1] == '"')) {
                Token t = Make(Tok::String, line);
                t.wide = c != '"';
                i += t.wide ? 2 : 1;
                for (;;) {
                    if (i >= l.size())
                        Fail(line, "expected '\"' to end the string");
                    if (l[i] == '"') {
                        if (i + 1 < l.size() && l[i + 1] == '"') {
                            t.text += "\"\"";
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (l[i] == '\\' && i + 1 < l.size()) {
                        t.text += l[i++];
                    }
                    t.text += l[i++];
                }
                tokens.push_back(std::move(t));
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                Token t = Make(Tok::Number, line);
                std::uint64_t v = 0;
                if (c == '0' && i + 1 < l.size() && (l[i + 1] == 'x' || l[i + 1] == 'X')) {
                    i += 2;
                    while (i < l.size() && std::isxdigit(static_cast<unsigned char>(l[i]))) {
                        const char d = l[i++];
                        v = (v << 4 | (std::isdigit(static_cast<unsigned char>(d)) ? d - '0' : (std::tolower(d) - 'a' + 10))) & 0xFFFFFFFFu;
                    }
                } else {
                    while (i < l.size() && std::isdigit(static_cast<unsigned char>(l[i])))
                        v = (v * 10 + (l[i++] - '0')) & 0xFFFFFFFFu;
                }
                while (i < l.size() && (l[i] == 'L' || l[i] == 'l' || l[i] == 'U' || l[i] == 'u')) {
                    if (l[i] == 'L' || l[i] == 'l')
                        t.isLong = true;
                    ++i;
                }
                if (i < l.size() && WordChar(l[i]) && l[i] != '.' && l[i] != '\\' && l[i] != '/')
                    Fail(line, "expected a number, found '" + l.substr(i, 16) + "'");
                t.value = std::uint32_t(v);
                tokens.push_back(std::move(t));
            } else if (WordChar(c) && c != '/') { // '/' continues a path but starts a division
                Token t = Make(Tok::Word, line);
                while (i < l.size() && WordChar(l[i]))
                    t.text += l[i++];
                tokens.push_back(std::move(t));
            } else if (std::strchr(",()+-*/|&~{}=!%;", c)) {
                Token t = Make(Tok::Punct, line);
                t.text = std::string(1, c);
                ++i;
                tokens.push_back(std::move(t));
            } else {
                Fail(line, std::string("unexpected character '") + c + "'");
            }
        }
    }
};

// Little-endian binary building.
struct Buf {
    std::vector<std::uint8_t> b;
    void u8(std::uint32_t v) { b.push_back(std::uint8_t(v)); }
    void u16(std::uint32_t v)
    {
        u8(v);
        u8(v >> 8);
    }
    void u32(std::uint32_t v)
    {
        u16(v);
        u16(v >> 16);
    }
    void str(const std::u16string& s) // NUL-terminated UTF-16
    {
        for (char16_t c : s)
            u16(c);
        u16(0);
    }
    void nameOrOrd(const ResName& n)
    {
        if (n.isId) {
            u16(0xFFFF);
            u16(n.id);
        } else {
            str(n.text);
        }
    }
    void align4()
    {
        while (b.size() % 4)
            u8(0);
    }
    void put16At(std::size_t at, std::uint32_t v)
    {
        b[at] = std::uint8_t(v);
        b[at + 1] = std::uint8_t(v >> 8);
    }
    std::size_t size() const { return b.size(); }
};

std::uint16_t Le16(const std::vector<std::uint8_t>& d, std::size_t at)
{
    return std::uint16_t(d[at] | d[at + 1] << 8);
}
std::uint32_t Le32(const std::vector<std::uint8_t>& d, std::size_t at)
{
    return std::uint32_t(Le16(d, at)) | std::uint32_t(Le16(d, at + 2)) << 16;
}

struct Styles {
    std::uint32_t set = 0;
    std::uint32_t cleared = 0;
    std::uint32_t Apply(std::uint32_t base) const { return (base | set) & ~cleared; }
};

struct StringBlockKey {
    std::uint16_t language;
    std::uint16_t block;
    bool operator<(const StringBlockKey& o) const
    {
        return language != o.language ? language < o.language : block < o.block;
    }
};

class Parser {
public:
    Parser(std::vector<Token> tokens, const Options& options, const FileReader& read)
        : t_(std::move(tokens)), options_(options), read_(read), language_(options.defaultLanguage)
    {
    }

    std::vector<Resource> Run()
    {
        while (Peek().kind != Tok::End)
            Statement();
        for (auto& [key, strings] : strings_) {
            Buf b;
            for (auto& s : strings) {
                b.u16(std::uint16_t(s.size()));
                for (char16_t c : s)
                    b.u16(c);
            }
            Add(ResName{true, kString, {}}, ResName{true, key.block, {}}, key.language, std::move(b.b), nullptr);
        }
        return std::move(out_);
    }

private:
    std::vector<Token> t_;
    std::size_t pos_ = 0;
    const Options& options_;
    const FileReader& read_;
    std::uint16_t language_;
    std::uint16_t nextImageId_ = 1;
    std::vector<Resource> out_;
    std::map<StringBlockKey, std::array<std::u16string, 16>> strings_;
    std::map<StringBlockKey, std::array<bool, 16>> stringDefined_;
    Token end_;

    const Token& Peek(std::size_t ahead = 0)
    {
        if (pos_ + ahead < t_.size())
            return t_[pos_ + ahead];
        end_.kind = Tok::End;
        if (!t_.empty()) {
            end_.file = t_.back().file;
            end_.line = t_.back().line;
        }
        return end_;
    }
    const Token& Next()
    {
        const Token& t = Peek();
        if (pos_ < t_.size())
            ++pos_;
        return t;
    }

    static std::string Describe(const Token& t)
    {
        switch (t.kind) {
        case Tok::End:
            return "the end of the script";
        case Tok::String:
            return "\"" + t.text.substr(0, 40) + "\"";
        case Tok::Number:
            return std::to_string(t.value);
        default:
            return "'" + t.text.substr(0, 40) + "'";
        }
    }
    [[noreturn]] void Fail(const Token& at, const std::string& what)
    {
        throw CompileError(at.file ? *at.file : "", at.line, what);
    }
    [[noreturn]] void Expected(const std::string& what)
    {
        const Token& t = Peek();
        Fail(t, "expected " + what + ", found " + Describe(t));
    }

    bool IsWord(const Token& t, const char* w) const { return t.kind == Tok::Word && EqualCI(t.text, w); }
    bool IsPunct(const Token& t, char c) const { return t.kind == Tok::Punct && t.text[0] == c; }
    bool IsBegin(const Token& t) const { return IsWord(t, "BEGIN") || IsPunct(t, '{'); }
    bool IsEnd(const Token& t) const { return IsWord(t, "END") || IsPunct(t, '}'); }
    void ExpectBegin(const char* what)
    {
        if (!IsBegin(Peek()))
            Expected(std::string("BEGIN or '{' to open the ") + what);
        Next();
    }
    bool SkipComma()
    {
        if (IsPunct(Peek(), ',')) {
            Next();
            return true;
        }
        return false;
    }
    void ExpectComma(const char* after)
    {
        if (!SkipComma())
            Expected(std::string("',' after ") + after);
    }

    // --- Expressions.
    bool StartsExpr(const Token& t) const
    {
        return t.kind == Tok::Number || IsPunct(t, '(') || IsPunct(t, '-') || IsPunct(t, '~') || IsPunct(t, '+') ||
               IsWord(t, "NOT");
    }
    std::uint32_t Unary(bool& isLong, int depth)
    {
        if (depth > 200)
            Fail(Peek(), "expression nested too deeply");
        const Token& t = Next();
        if (t.kind == Tok::Number) {
            isLong |= t.isLong;
            return t.value;
        }
        if (IsPunct(t, '-'))
            return 0u - Unary(isLong, depth + 1);
        if (IsPunct(t, '+'))
            return Unary(isLong, depth + 1);
        if (IsPunct(t, '~') || IsWord(t, "NOT"))
            return ~Unary(isLong, depth + 1);
        if (IsPunct(t, '(')) {
            const std::uint32_t v = Or(isLong, depth + 1);
            if (!IsPunct(Peek(), ')'))
                Expected("')'");
            Next();
            return v;
        }
        --pos_;
        Expected("a number");
    }
    std::uint32_t Mul(bool& isLong, int depth)
    {
        std::uint32_t v = Unary(isLong, depth);
        while (IsPunct(Peek(), '*') || IsPunct(Peek(), '/') || IsPunct(Peek(), '%')) {
            const Token& op = Next();
            const std::uint32_t r = Unary(isLong, depth);
            if (op.text[0] == '*') {
                v *= r;
            } else {
                if (r == 0)
                    Fail(op, "division by zero");
                v = op.text[0] == '/' ? v / r : v % r;
            }
        }
        return v;
    }
    std::uint32_t Add(bool& isLong, int depth)
    {
        std::uint32_t v = Mul(isLong, depth);
        while (IsPunct(Peek(), '+') || IsPunct(Peek(), '-')) {
            const bool plus = Next().text[0] == '+';
            const std::uint32_t r = Mul(isLong, depth);
            v = plus ? v + r : v - r;
        }
        return v;
    }
    std::uint32_t And(bool& isLong, int depth)
    {
        std::uint32_t v = Add(isLong, depth);
        while (IsPunct(Peek(), '&')) {
            Next();
            v &= Add(isLong, depth);
        }
        return v;
    }
    std::uint32_t Or(bool& isLong, int depth)
    {
        std::uint32_t v = And(isLong, depth);
        while (IsPunct(Peek(), '|')) {
            Next();
            v |= And(isLong, depth);
        }
        return v;
    }
    std::uint32_t Expr(bool* isLong = nullptr)
    {
        bool l = false;
        if (!StartsExpr(Peek()))
            Expected("a number");
        const std::uint32_t v = Or(l, 0);
        if (isLong)
            *isLong = l;
        return v;
    }
    // A style: terms joined by '|', where "NOT x" takes x's bits away from the default.
    Styles StyleExpr()
    {
        Styles s;
        for (;;) {
            if (IsWord(Peek(), "NOT")) {
                Next();
                bool l = false;
                const std::uint32_t v = Unary(l, 0);
                s.cleared |= v;
                s.set &= ~v;
            } else {
                const std::uint32_t v = [&] {
                    bool l = false;
                    if (!StartsExpr(Peek()))
                        Expected("a style");
                    return And(l, 0);
                }();
                s.set |= v;
                s.cleared &= ~v;
            }
            if (!IsPunct(Peek(), '|'))
                return s;
            Next();
        }
    }

    // --- Strings.
    std::u16string DecodeNarrow(const std::string& bytes, const Token& t)
    {
        const bool utf8 = t.unicode || t.codePage == 65001;
        if (!utf8 && t.codePage == 0) {
            bool valid = true;
            std::u16string s = Utf8ToUtf16(bytes, &valid);
            if (valid)
                return s;
        }
        if (utf8)
            return Utf8ToUtf16(bytes);
        std::u16string s;
        for (unsigned char c : bytes) {
            if (t.codePage == 1252 || t.codePage == 0)
                s += (c >= 0x80 && c < 0xA0) ? kCp1252High[c - 0x80] : char16_t(c);
            else if (t.codePage == 20127)
                s += c < 0x80 ? char16_t(c) : u'?';
            else
                s += char16_t(c);
        }
        return s;
    }

    // The string's text with its escapes: \n \t \r \a \b \f \v \\ \" \' \0-\777 \xHH, and "" for '"'.
    std::u16string StringText(const Token& t)
    {
        const std::string& s = t.text;
        std::u16string out;
        std::string pending; // narrow bytes not yet decoded
        auto flush = [&] {
            if (!pending.empty())
                out += t.wide ? Utf8ToUtf16(pending) : DecodeNarrow(pending, t);
            pending.clear();
        };
        auto unit = [&](std::uint32_t v) {
            if (t.wide) {
                flush();
                out += char16_t(v);
            } else {
                pending += char(v & 0xFF);
            }
        };
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '"' && i + 1 < s.size() && s[i + 1] == '"') {
                pending += '"';
                ++i;
                continue;
            }
            if (s[i] != '\\' || i + 1 >= s.size()) {
                pending += s[i];
                continue;
            }
            const char e = s[++i];
            switch (e) {
            case 'n': unit('\n'); break;
            case 't': unit('\t'); break;
            case 'r': unit('\r'); break;
            case 'a': unit('\a'); break;
            case 'b': unit('\b'); break;
            case 'f': unit('\f'); break;
            case 'v': unit('\v'); break;
            case '\\': unit('\\'); break;
            case '"': unit('"'); break;
            case '\'': unit('\''); break;
            case 'x':
            case 'X': {
                std::uint32_t v = 0;
                int n = 0;
                while (n < (t.wide ? 4 : 2) && i + 1 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1]))) {
                    const char d = s[++i];
                    v = v << 4 | (std::isdigit(static_cast<unsigned char>(d)) ? d - '0' : (std::tolower(d) - 'a' + 10));
                    ++n;
                }
                unit(v);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    std::uint32_t v = std::uint32_t(e - '0');
                    for (int n = 1; n < 3 && i + 1 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '7'; ++n)
                        v = v * 8 + (s[++i] - '0');
                    unit(v);
                } else {
                    // Windows' compiler keeps an unknown escape as written (paths like "res\icon.ico").
                    pending += '\\';
                    pending += e;
                }
            }
        }
        flush();
        return out;
    }
    // One or more adjacent string literals, joined.
    std::u16string Strings(const char* what)
    {
        if (Peek().kind != Tok::String)
            Expected(what);
        std::u16string s;
        while (Peek().kind == Tok::String)
            s += StringText(Next());
        return s;
    }
    std::string NarrowBytes(const Token& t)
    {
        return Utf16ToUtf8(StringText(t)); // this platform's narrow text is UTF-8
    }

    // --- Names and files.
    static std::u16string Upper(std::u16string s)
    {
        for (auto& c : s)
            c = UpperUnit(c);
        return s;
    }
    ResName NameFromToken(const Token& t)
    {
        ResName n;
        n.isId = false;
        n.text = Upper(t.kind == Tok::String ? StringText(t) : Utf8ToUtf16(t.text));
        if (n.text.empty())
            Fail(t, "a resource name may not be empty");
        return n;
    }
    ResName Name(const char* what)
    {
        const Token& t = Peek();
        if (StartsExpr(t) && !IsWord(t, "NOT")) {
            ResName n;
            n.id = std::uint16_t(Expr());
            return n;
        }
        if (t.kind == Tok::Word || t.kind == Tok::String)
            return NameFromToken(Next());
        Expected(what);
    }

    std::vector<std::uint8_t> ReadFile(const Token& at)
    {
        std::string name;
        if (at.kind == Tok::String) {
            // Backslashes in file names are often doubled ("res\\app.ico") and sometimes not.
            const std::string& s = at.text;
            for (std::size_t i = 0; i < s.size(); ++i) {
                if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '\\')
                    ++i;
                name += s[i];
            }
        } else {
            name = at.text;
        }
        if (name.empty())
            Fail(at, "expected a file name, found an empty string");
        std::vector<std::uint8_t> data;
        if (!read_(name, at.file ? *at.file : "", data))
            Fail(at, "cannot open the file '" + name + "'");
        if (data.size() > options_.maxFileBytes)
            Fail(at, "the file '" + name + "' is too large");
        return data;
    }
    bool StartsFile(const Token& t) const
    {
        return t.kind == Tok::String || (t.kind == Tok::Word && !IsBegin(t));
    }

    void Add(ResName type, ResName name, std::uint16_t language, std::vector<std::uint8_t> data, const Token* at)
    {
        for (const auto& r : out_)
            if (r.type == type && r.name == name && r.language == language) {
                if (at)
                    Fail(*at, "a resource of this type, name and language is already defined");
            }
        if (data.size() > 0xFFFFFFFFu && at)
            Fail(*at, "the resource is too large");
        out_.push_back(Resource{std::move(type), std::move(name), language, std::move(data)});
    }

    // Memory attributes, accepted and ignored as on 32- and 64-bit Windows.
    void MemoryOptions()
    {
        static const char* const kWords[] = {"PRELOAD", "LOADONCALL", "FIXED", "MOVEABLE", "DISCARDABLE",
                                             "PURE", "IMPURE", "SHARED", "NONSHARED"};
        for (;;) {
            bool any = false;
            for (const char* w : kWords)
                if (IsWord(Peek(), w)) {
                    Next();
                    any = true;
                }
            if (!any)
                return;
        }
    }
    std::uint16_t Language()
    {
        const std::uint32_t primary = Expr();
        ExpectComma("the primary language");
        const std::uint32_t sub = Expr();
        return std::uint16_t((sub << 10) | (primary & 0x3FF));
    }
    // CHARACTERISTICS, VERSION and LANGUAGE before a block; the language is the resource's.
    std::uint16_t CommonStatements()
    {
        std::uint16_t lang = language_;
        for (;;) {
            MemoryOptions();
            if (IsWord(Peek(), "LANGUAGE")) {
                Next();
                lang = Language();
            } else if (IsWord(Peek(), "CHARACTERISTICS") || IsWord(Peek(), "VERSION")) {
                Next();
                Expr();
            } else {
                return lang;
            }
        }
    }

    // --- Statements.
    void Statement()
    {
        const Token& first = Peek();
        if (IsWord(first, "LANGUAGE")) {
            Next();
            language_ = Language();
            return;
        }
        if (IsWord(first, "STRINGTABLE")) {
            Next();
            StringTable();
            return;
        }
        if (first.kind != Tok::Word && first.kind != Tok::String && !StartsExpr(first))
            Expected("a resource name or number, LANGUAGE or STRINGTABLE");
        const ResName name = Name("a resource name");
        const Token& typeTok = Next();
        if (typeTok.kind == Tok::End)
            Fail(typeTok, "expected a resource type after the name, found the end of the script");
        if (typeTok.kind == Tok::Word) {
            const std::string& w = typeTok.text;
            if (EqualCI(w, "BITMAP"))
                return Bitmap(name, typeTok);
            if (EqualCI(w, "ICON"))
                return IconGroup(name, typeTok, false);
            if (EqualCI(w, "CURSOR"))
                return IconGroup(name, typeTok, true);
            if (EqualCI(w, "ACCELERATORS"))
                return Accelerators(name, typeTok);
            if (EqualCI(w, "MENU") || EqualCI(w, "MENUEX"))
                return Menu(name, typeTok, EqualCI(w, "MENUEX"));
            if (EqualCI(w, "DIALOG") || EqualCI(w, "DIALOGEX"))
                return Dialog(name, typeTok, EqualCI(w, "DIALOGEX"));
            if (EqualCI(w, "VERSIONINFO"))
                return VersionInfo(name, typeTok);
            if (EqualCI(w, "TOOLBAR"))
                return Toolbar(name, typeTok);
            if (EqualCI(w, "DLGINCLUDE")) {
                // Names the header the dialog editor used; nothing a program loads.
                MemoryOptions();
                if (!StartsFile(Peek()))
                    Expected("a file name after DLGINCLUDE");
                Next();
                return;
            }
            struct Known {
                const char* word;
                std::uint16_t type;
            };
            static const Known kTypes[] = {{"RCDATA", kRcData}, {"MESSAGETABLE", kMessageTable}, {"FONT", kFont},
                                           {"HTML", kHtml}, {"ANICURSOR", kAniCursor}, {"ANIICON", kAniIcon},
                                           {"DLGINIT", kDlgInit}};
            for (const auto& k : kTypes)
                if (EqualCI(w, k.word))
                    return UserData(name, ResName{true, k.type, {}}, typeTok);
            return UserData(name, NameFromToken(typeTok), typeTok);
        }
        if (typeTok.kind == Tok::String)
            return UserData(name, NameFromToken(typeTok), typeTok);
        if (typeTok.kind == Tok::Number || StartsExpr(typeTok)) {
            --pos_;
            const ResName type{true, std::uint16_t(Expr()), {}};
            if (type.id == kBitmap)
                return Bitmap(name, typeTok);
            return UserData(name, type, typeTok);
        }
        Fail(typeTok, "expected a resource type, found " + Describe(typeTok));
    }

    // Raw data: numbers (16-bit, 32-bit with an L) and strings (narrow: UTF-8 bytes, L"": UTF-16),
    // no terminators added.
    std::vector<std::uint8_t> RawData(const char* what)
    {
        ExpectBegin(what);
        Buf b;
        while (!IsEnd(Peek())) {
            if (Peek().kind == Tok::End)
                Expected(std::string("END to close the ") + what);
            if (Peek().kind == Tok::String) {
                const Token& s = Next();
                if (s.wide) {
                    for (char16_t c : StringText(s))
                        b.u16(c);
                } else {
                    for (char c : NarrowBytes(s))
                        b.u8(std::uint8_t(c));
                }
            } else {
                bool isLong = false;
                const std::uint32_t v = Expr(&isLong);
                if (isLong)
                    b.u32(v);
                else
                    b.u16(v);
            }
            SkipComma();
        }
        Next();
        return std::move(b.b);
    }

    void UserData(const ResName& name, const ResName& type, const Token& at)
    {
        const std::uint16_t lang = CommonStatements();
        std::vector<std::uint8_t> data;
        if (IsBegin(Peek()))
            data = RawData("data block");
        else if (StartsFile(Peek()))
            data = ReadFile(Next());
        else
            Expected("a file name or BEGIN");
        Add(type, name, lang, std::move(data), &at);
    }

    void Bitmap(const ResName& name, const Token& at)
    {
        const std::uint16_t lang = CommonStatements();
        if (!StartsFile(Peek()))
            Expected("a bitmap file name");
        const Token& fileTok = Next();
        std::vector<std::uint8_t> file = ReadFile(fileTok);
        // Stored without the 14-byte file header: the BITMAPINFO and the bits.
        if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M')
            Fail(fileTok, "expected a .bmp file (starting with 'BM'), '" + fileTok.text + "' is not one");
        const std::uint32_t headerSize = Le32(file, 14);
        if (headerSize < 12 || headerSize > file.size() - 14)
            Fail(fileTok, "the bitmap '" + fileTok.text + "' has a damaged header");
        file.erase(file.begin(), file.begin() + 14);
        Add(ResName{true, kBitmap, {}}, name, lang, std::move(file), &at);
    }

    // An .ico or .cur file: each image becomes an RT_ICON or RT_CURSOR of its own number, and the
    // group (RT_GROUP_ICON, RT_GROUP_CURSOR) lists them, as Windows stores them.
    void IconGroup(const ResName& name, const Token& at, bool cursor)
    {
        const std::uint16_t lang = CommonStatements();
        if (!StartsFile(Peek()))
            Expected(cursor ? "a cursor file name" : "an icon file name");
        const Token& fileTok = Next();
        const std::vector<std::uint8_t> file = ReadFile(fileTok);
        const std::string kind = cursor ? "a .cur file" : "an .ico file";
        if (file.size() < 6 || Le16(file, 0) != 0 || Le16(file, 2) != (cursor ? 2 : 1))
            Fail(fileTok, "expected " + kind + ", '" + fileTok.text + "' is not one");
        const std::uint16_t count = Le16(file, 4);
        if (count == 0 || file.size() < 6 + std::size_t(count) * 16)
            Fail(fileTok, "the directory of '" + fileTok.text + "' is damaged");
        Buf group;
        group.u16(0);
        group.u16(cursor ? 2 : 1);
        group.u16(count);
        for (std::uint16_t i = 0; i < count; ++i) {
            const std::size_t e = 6 + std::size_t(i) * 16;
            const std::uint32_t bytes = Le32(file, e + 8), offset = Le32(file, e + 12);
            if (bytes < 8 || offset > file.size() || bytes > file.size() - offset)
                Fail(fileTok, "image " + std::to_string(i + 1) + " of '" + fileTok.text + "' lies outside the file");
            const std::vector<std::uint8_t> image(file.begin() + offset, file.begin() + offset + bytes);
            const bool dib = Le32(image, 0) == 40 && image.size() >= 40;
            unsigned width = file[e] ? file[e] : 256, height = file[e + 1] ? file[e + 1] : 256;
            std::uint16_t planes = 1, bitCount = 32;
            if (dib) {
                planes = Le16(image, 12);
                bitCount = Le16(image, 14);
            } else if (!cursor && Le16(file, e + 6)) {
                planes = Le16(file, e + 4);
                bitCount = Le16(file, e + 6);
            }
            if (nextImageId_ == 0xFFFF)
                Fail(fileTok, "too many icon and cursor images");
            const std::uint16_t id = nextImageId_++;
            std::vector<std::uint8_t> data;
            if (cursor) {
                Buf hot;
                hot.u16(Le16(file, e + 4));
                hot.u16(Le16(file, e + 6));
                data = std::move(hot.b);
            }
            data.insert(data.end(), image.begin(), image.end());
            if (cursor) {
                group.u16(width);
                group.u16(height * 2); // the image's height counts its mask as well
                group.u16(planes);
                group.u16(bitCount);
                group.u32(bytes + 4);
            } else {
                group.u8(file[e]);
                group.u8(file[e + 1]);
                group.u8(file[e + 2]);
                group.u8(0);
                group.u16(planes);
                group.u16(bitCount);
                group.u32(bytes);
            }
            group.u16(id);
            Add(ResName{true, std::uint16_t(cursor ? kCursor : kIcon), {}}, ResName{true, id, {}}, lang,
                std::move(data), &at);
        }
        Add(ResName{true, std::uint16_t(cursor ? kGroupCursor : kGroupIcon), {}}, name, lang, std::move(group.b), &at);
    }

    void StringTable()
    {
        const std::uint16_t lang = CommonStatements();
        ExpectBegin("string table");
        while (!IsEnd(Peek())) {
            if (Peek().kind == Tok::End)
                Expected("END to close the string table");
            const Token at = Peek();
            const std::uint16_t id = std::uint16_t(Expr());
            SkipComma();
            std::u16string text = Strings("a string after the string's number");
            if (text.size() > 0xFFFF)
                Fail(at, "the string is longer than 65535 characters");
            const StringBlockKey key{lang, std::uint16_t((id >> 4) + 1)};
            auto& defined = stringDefined_[key];
            if (defined[id & 15])
                Fail(at, "string " + std::to_string(id) + " is already defined");
            defined[id & 15] = true;
            strings_[key][id & 15] = std::move(text);
        }
        Next();
    }

    void Accelerators(const ResName& name, const Token& at)
    {
        const std::uint16_t lang = CommonStatements();
        ExpectBegin("accelerator table");
        Buf b;
        std::size_t last = 0;
        while (!IsEnd(Peek())) {
            if (Peek().kind == Tok::End)
                Expected("END to close the accelerator table");
            const Token event = Peek();
            std::u16string text;
            std::uint32_t key = 0;
            if (event.kind == Tok::String) {
                text = StringText(Next());
                if (text.empty() || text.size() > 2 || (text.size() == 2 && text[0] != u'^'))
                    Fail(event, "expected one character or ^ and a letter as the accelerator's key");
            } else {
                key = Expr();
            }
            ExpectComma("the accelerator's key");
            const std::uint16_t id = std::uint16_t(Expr());
            std::uint16_t flags = 0;
            bool ascii = false;
            for (;;) {
                SkipComma();
                const Token& o = Peek();
                if (IsWord(o, "VIRTKEY"))
                    flags |= 0x01;
                else if (IsWord(o, "ASCII"))
                    ascii = true;
                else if (IsWord(o, "NOINVERT"))
                    flags |= 0x02;
                else if (IsWord(o, "SHIFT"))
                    flags |= 0x04;
                else if (IsWord(o, "CONTROL"))
                    flags |= 0x08;
                else if (IsWord(o, "ALT"))
                    flags |= 0x10;
                else
                    break;
                Next();
            }
            if (ascii && (flags & 0x01))
                Fail(event, "an accelerator cannot be both ASCII and VIRTKEY");
            if (!text.empty()) {
                if (text.size() == 2) {
                    if (flags & 0x01)
                        Fail(event, "a control character (^) cannot be a VIRTKEY accelerator");
                    const char16_t c = UpperUnit(text[1]);
                    if (c < u'@' || c > u'_')
                        Fail(event, "expected a letter after ^ in the accelerator's key");
                    key = c - 0x40;
                } else {
                    // Virtual keys of letters are their upper-case codes.
                    key = (flags & 0x01) ? UpperUnit(text[0]) : text[0];
                }
            }
            last = b.size();
            b.u16(flags);
            b.u16(key);
            b.u16(id);
            b.u16(0);
        }
        Next();
        if (!b.b.empty())
            b.b[last] |= 0x80; // marks the table's last entry
        Add(ResName{true, kAccelerator, {}}, name, lang, std::move(b.b), &at);
    }

    // MENU: MENUITEM "text", id [, options], MENUITEM SEPARATOR, POPUP "text" [, options] BEGIN .. END.
    std::uint16_t MenuOptions()
    {
        struct Option {
            const char* word;
            std::uint16_t flag;
        };
        static const Option kOptions[] = {{"CHECKED", 0x0008}, {"GRAYED", 0x0001}, {"INACTIVE", 0x0002},
                                          {"HELP", 0x4000}, {"MENUBARBREAK", 0x0020}, {"MENUBREAK", 0x0040}};
        std::uint16_t f = 0;
        for (;;) {
            SkipComma();
            const Token& o = Peek();
            bool known = false;
            for (const auto& k : kOptions)
                if (IsWord(o, k.word)) {
                    f |= k.flag;
                    known = true;
                }
            if (known)
                Next();
            else if (StartsExpr(o) && !IsWord(o, "NOT"))
                f |= std::uint16_t(Expr()); // MF_ flags as numbers
            else
                return f;
        }
    }
    void MenuItems(Buf& b, bool ex, int depth)
    {
        if (depth > 64)
            Fail(Peek(), "menus nested too deeply");
        ExpectBegin("menu");
        std::size_t lastFlags = SIZE_MAX;
        while (!IsEnd(Peek())) {
            const Token& t = Peek();
            if (t.kind == Tok::End)
                Expected("END to close the menu");
            const bool popup = IsWord(t, "POPUP");
            if (!popup && !IsWord(t, "MENUITEM"))
                Expected("MENUITEM, POPUP or END in the menu");
            Next();
            if (ex) {
                b.align4();
                std::u16string text;
                std::uint32_t id = 0, type = 0, state = 0, help = 0;
                if (IsWord(Peek(), "SEPARATOR")) {
                    Next();
                    type = 0x800; // MFT_SEPARATOR
                } else {
                    text = Strings("the menu item's text");
                    if (SkipComma() && StartsExpr(Peek()))
                        id = Expr();
                    if (SkipComma() && StartsExpr(Peek()))
                        type = Expr();
                    if (SkipComma() && StartsExpr(Peek()))
                        state = Expr();
                    if (popup && SkipComma() && StartsExpr(Peek()))
                        help = Expr();
                }
                b.u32(type);
                b.u32(state);
                b.u32(id);
                lastFlags = b.size();
                b.u16(popup ? 0x01 : 0);
                b.str(text);
                if (popup) {
                    b.align4();
                    b.u32(help);
                    MenuItems(b, ex, depth + 1);
                }
                continue;
            }
            if (!popup && IsWord(Peek(), "SEPARATOR")) {
                Next();
                lastFlags = b.size();
                b.u16(0);
                b.u16(0);
                b.u16(0);
                continue;
            }
            const std::u16string text = Strings("the menu item's text");
            std::uint16_t id = 0;
            if (!popup) {
                ExpectComma("the menu item's text");
                id = std::uint16_t(Expr());
            }
            const std::uint16_t flags = MenuOptions() | (popup ? 0x10 : 0);
            lastFlags = b.size();
            b.u16(flags);
            if (!popup)
                b.u16(id);
            b.str(text);
            if (popup)
                MenuItems(b, ex, depth + 1);
        }
        Next();
        if (lastFlags != SIZE_MAX)
            b.b[lastFlags] |= 0x80; // MF_END; for MENUEX items the same bit of bResInfo
    }
    void Menu(const ResName& name, const Token& at, bool ex)
    {
        const std::uint16_t lang = CommonStatements();
        Buf b;
        if (ex) {
            b.u16(1); // version
            b.u16(4); // offset to the items
            b.u32(0); // help id
        } else {
            b.u32(0);
        }
        MenuItems(b, ex, 0);
        Add(ResName{true, kMenu, {}}, name, lang, std::move(b.b), &at);
    }

    // --- Dialogs.
    struct Control {
        ResName cls;
        ResName text;
        std::uint32_t id = 0, style = 0, exStyle = 0, help = 0, x = 0, y = 0, cx = 0, cy = 0;
        std::vector<std::uint8_t> extra;
    };
    ResName TextOrOrdinal(const char* what)
    {
        ResName n;
        if (Peek().kind == Tok::String) {
            n.isId = false;
            n.text = Strings(what);
        } else if (StartsExpr(Peek())) {
            n.id = std::uint16_t(Expr());
        } else if (Peek().kind == Tok::Word) {
            n.isId = false;
            n.text = Utf8ToUtf16(Next().text);
        } else {
            Expected(what);
        }
        return n;
    }
    static ResName ClassOrdinal(const std::u16string& cls)
    {
        static const char16_t* const kNames[] = {u"BUTTON", u"EDIT", u"STATIC", u"LISTBOX", u"SCROLLBAR", u"COMBOBOX"};
        const std::u16string up = Upper(cls);
        for (std::uint16_t i = 0; i < 6; ++i)
            if (up == kNames[i])
                return ResName{true, std::uint16_t(0x80 + i), {}};
        return ResName{false, 0, cls};
    }
    bool ControlStatement(Control& c, bool ex)
    {
        struct Kind {
            const char* word;
            std::uint16_t cls; // 0x80 button .. 0x85 combo box
            std::uint32_t style;
            bool text;
        };
        static const Kind kKinds[] = {
            {"LTEXT", 0x82, 0x0 | WS_GROUP, true},          {"RTEXT", 0x82, 0x2 | WS_GROUP, true},
            {"CTEXT", 0x82, 0x1 | WS_GROUP, true},          {"PUSHBUTTON", 0x80, 0x0 | WS_TABSTOP, true},
            {"DEFPUSHBUTTON", 0x80, 0x1 | WS_TABSTOP, true}, {"CHECKBOX", 0x80, 0x2 | WS_TABSTOP, true},
            {"AUTOCHECKBOX", 0x80, 0x3 | WS_TABSTOP, true}, {"RADIOBUTTON", 0x80, 0x4 | WS_TABSTOP, true},
            {"STATE3", 0x80, 0x5 | WS_TABSTOP, true},       {"AUTO3STATE", 0x80, 0x6 | WS_TABSTOP, true},
            {"GROUPBOX", 0x80, 0x7, true},                  {"AUTORADIOBUTTON", 0x80, 0x9 | WS_TABSTOP, true},
            {"PUSHBOX", 0x80, 0xA | WS_TABSTOP, true},      {"ICON", 0x82, 0x3, true},
            {"EDITTEXT", 0x81, WS_BORDER | WS_TABSTOP, false}, {"LISTBOX", 0x83, WS_BORDER | 0x1, false},
            {"COMBOBOX", 0x85, 0x1 | WS_TABSTOP, false},    {"SCROLLBAR", 0x84, 0x0, false},
        };
        const Token& t = Peek();
        auto idAndRect = [&](bool iconRect) {
            c.id = Expr();
            ExpectComma("the control's id");
            c.x = Expr();
            ExpectComma("the control's x");
            c.y = Expr();
            if (iconRect && !IsPunct(Peek(), ','))
                return;
            ExpectComma("the control's y");
            c.cx = Expr();
            ExpectComma("the control's width");
            c.cy = Expr();
        };
        auto tail = [&](std::uint32_t defaultStyle) {
            Styles s;
            if (SkipComma())
                s = StyleExpr();
            c.style = s.Apply(defaultStyle);
            if (SkipComma())
                c.exStyle = Expr();
            if (ex && SkipComma())
                c.help = Expr();
        };
        if (IsWord(t, "CONTROL")) {
            Next();
            c.text = TextOrOrdinal("the control's text");
            ExpectComma("the control's text");
            c.id = Expr();
            ExpectComma("the control's id");
            const Token& clsTok = Peek();
            if (clsTok.kind == Tok::String || clsTok.kind == Tok::Word) {
                c.cls = ClassOrdinal(clsTok.kind == Tok::String ? Strings("a class") : Utf8ToUtf16(Next().text));
            } else {
                c.cls = ResName{true, std::uint16_t(Expr()), {}};
            }
            ExpectComma("the control's class");
            const Styles s = StyleExpr();
            c.style = s.Apply(WS_CHILD | WS_VISIBLE);
            ExpectComma("the control's style");
            c.x = Expr();
            ExpectComma("the control's x");
            c.y = Expr();
            ExpectComma("the control's y");
            c.cx = Expr();
            ExpectComma("the control's width");
            c.cy = Expr();
            if (SkipComma())
                c.exStyle = Expr();
            if (ex && SkipComma())
                c.help = Expr();
            return true;
        }
        for (const auto& k : kKinds) {
            if (!IsWord(t, k.word))
                continue;
            Next();
            c.cls = ResName{true, k.cls, {}};
            if (k.text) {
                c.text = TextOrOrdinal("the control's text");
                ExpectComma("the control's text");
            } else {
                c.text = ResName{false, 0, {}};
            }
            const bool icon = EqualCI(t.text, "ICON");
            idAndRect(icon);
            tail(WS_CHILD | WS_VISIBLE | k.style);
            return true;
        }
        return false;
    }
    void Dialog(const ResName& name, const Token& at, bool ex)
    {
        MemoryOptions();
        const std::uint32_t x = Expr();
        ExpectComma("the dialog's x");
        const std::uint32_t y = Expr();
        ExpectComma("the dialog's y");
        const std::uint32_t cx = Expr();
        ExpectComma("the dialog's width");
        const std::uint32_t cy = Expr();
        std::uint32_t help = 0;
        if (ex && SkipComma())
            help = Expr();
        std::uint16_t lang = language_;
        bool styleGiven = false, caption = false, font = false;
        Styles style;
        std::uint32_t exStyle = 0;
        std::u16string title, face;
        ResName menu{false, 0, {}}, cls{false, 0, {}};
        std::uint32_t points = 0, weight = 0, italic = 0, charset = 1;
        for (;;) {
            const Token& t = Peek();
            if (IsWord(t, "STYLE")) {
                Next();
                style = StyleExpr();
                styleGiven = true;
            } else if (IsWord(t, "EXSTYLE")) {
                Next();
                exStyle = Expr();
            } else if (IsWord(t, "CAPTION")) {
                Next();
                title = Strings("the dialog's caption");
                caption = true;
            } else if (IsWord(t, "FONT")) {
                Next();
                points = Expr();
                ExpectComma("the font's size");
                face = Strings("the font's name");
                if (ex && SkipComma())
                    weight = Expr();
                if (ex && SkipComma())
                    italic = Expr();
                if (ex && SkipComma())
                    charset = Expr();
                font = true;
            } else if (IsWord(t, "MENU")) {
                Next();
                menu = Peek().kind == Tok::String ? ResName{false, 0, Upper(Strings("a menu"))} : Name("the dialog's menu");
            } else if (IsWord(t, "CLASS")) {
                Next();
                cls = TextOrOrdinal("the dialog's class");
            } else if (IsWord(t, "LANGUAGE")) {
                Next();
                lang = Language();
            } else if (IsWord(t, "CHARACTERISTICS") || IsWord(t, "VERSION")) {
                Next();
                Expr();
            } else {
                break;
            }
        }
        std::uint32_t dlgStyle = styleGiven ? style.Apply(0) : (WS_POPUP | WS_BORDER | WS_SYSMENU);
        if (caption)
            dlgStyle |= WS_CAPTION;
        if (font)
            dlgStyle |= DS_SETFONT;
        ExpectBegin("dialog");
        std::vector<Control> controls;
        while (!IsEnd(Peek())) {
            if (Peek().kind == Tok::End)
                Expected("END to close the dialog");
            Control c;
            if (!ControlStatement(c, ex))
                Expected("a control statement (CONTROL, LTEXT, PUSHBUTTON, EDITTEXT, ...) or END");
            if (ex && IsBegin(Peek()))
                c.extra = RawData("control's data");
            controls.push_back(std::move(c));
            if (controls.size() > 0xFFFF)
                Fail(at, "too many controls in one dialog");
        }
        Next();
        Buf b;
        if (ex) {
            b.u16(1);
            b.u16(0xFFFF);
            b.u32(help);
            b.u32(exStyle);
            b.u32(dlgStyle);
        } else {
            b.u32(dlgStyle);
            b.u32(exStyle);
        }
        b.u16(std::uint16_t(controls.size()));
        b.u16(x);
        b.u16(y);
        b.u16(cx);
        b.u16(cy);
        auto nameField = [&](const ResName& n) {
            if (!n.isId && n.text.empty())
                b.u16(0);
            else
                b.nameOrOrd(n);
        };
        nameField(menu);
        nameField(cls);
        b.str(title);
        if ((dlgStyle & DS_SETFONT) || (ex && (dlgStyle & DS_SHELLFONT) == DS_SHELLFONT)) {
            b.u16(points);
            if (ex) {
                b.u16(weight);
                b.u8(italic);
                b.u8(charset);
            }
            b.str(face);
        }
        for (const Control& c : controls) {
            b.align4();
            if (ex) {
                b.u32(c.help);
                b.u32(c.exStyle);
                b.u32(c.style);
            } else {
                b.u32(c.style);
                b.u32(c.exStyle);
            }
            b.u16(c.x);
            b.u16(c.y);
            b.u16(c.cx);
            b.u16(c.cy);
            if (ex)
                b.u32(c.id);
            else
                b.u16(c.id);
            b.nameOrOrd(c.cls);
            nameField(c.text);
            b.u16(std::uint16_t(c.extra.size()));
            if (!c.extra.empty()) {
                b.b.insert(b.b.end(), c.extra.begin(), c.extra.end());
            }
        }
        Add(ResName{true, kDialog, {}}, name, lang, std::move(b.b), &at);
    }

    // --- Version information: a tree of (length, value length, type, key, value, children).
    void VersionNodeHeader(Buf& b, std::size_t& start, const std::u16string& key, std::uint16_t valueLength,
                           std::uint16_t type)
    {
        b.align4();
        start = b.size();
        b.u16(0);
        b.u16(valueLength);
        b.u16(type);
        b.str(key);
        b.align4();
    }
    void VersionNodeEnd(Buf& b, std::size_t start, const Token& at)
    {
        if (b.size() - start > 0xFFFF)
            Fail(at, "the version information block is too large");
        b.put16At(start, std::uint32_t(b.size() - start));
    }
    void VersionBlock(Buf& b, int depth)
    {
        if (depth > 32)
            Fail(Peek(), "version blocks nested too deeply");
        ExpectBegin("version block");
        while (!IsEnd(Peek())) {
            const Token at = Peek();
            if (IsWord(at, "BLOCK")) {
                Next();
                const std::u16string key = Strings("the block's name");
                std::size_t start;
                VersionNodeHeader(b, start, key, 0, 1);
                VersionBlock(b, depth + 1);
                VersionNodeEnd(b, start, at);
            } else if (IsWord(at, "VALUE")) {
                Next();
                const std::u16string key = Strings("the value's name");
                Buf value;
                bool text = false;
                std::uint16_t units = 0;
                while (SkipComma()) {
                    if (Peek().kind == Tok::String) {
                        const std::u16string s = Strings("a value");
                        for (char16_t c : s)
                            value.u16(c);
                        text = true;
                    } else {
                        bool isLong = false;
                        const std::uint32_t v = Expr(&isLong);
                        if (isLong)
                            value.u32(v);
                        else
                            value.u16(v);
                    }
                }
                if (text) {
                    value.u16(0);
                    units = std::uint16_t(value.size() / 2);
                } else {
                    units = std::uint16_t(value.size());
                }
                std::size_t start;
                VersionNodeHeader(b, start, key, units, text ? 1 : 0);
                b.b.insert(b.b.end(), value.b.begin(), value.b.end());
                VersionNodeEnd(b, start, at);
            } else {
                Expected("BLOCK, VALUE or END in the version information");
            }
        }
        Next();
    }
    void VersionInfo(const ResName& name, const Token& at)
    {
        std::uint32_t fixed[13] = {0xFEEF04BD, 0x00010000, 0, 0, 0, 0, 0x3F, 0, 0x40004, 1, 0, 0, 0};
        std::uint16_t lang = language_;
        for (;;) {
            const Token& t = Peek();
            auto version = [&](int at) {
                std::uint32_t p[4] = {0, 0, 0, 0};
                for (int i = 0; i < 4; ++i) {
                    p[i] = Expr() & 0xFFFF;
                    if (!SkipComma())
                        break;
                }
                fixed[at] = p[0] << 16 | p[1];
                fixed[at + 1] = p[2] << 16 | p[3];
            };
            if (IsWord(t, "FILEVERSION")) {
                Next();
                version(2);
            } else if (IsWord(t, "PRODUCTVERSION")) {
                Next();
                version(4);
            } else if (IsWord(t, "FILEFLAGSMASK")) {
                Next();
                fixed[6] = Expr();
            } else if (IsWord(t, "FILEFLAGS")) {
                Next();
                fixed[7] = Expr();
            } else if (IsWord(t, "FILEOS")) {
                Next();
                fixed[8] = Expr();
            } else if (IsWord(t, "FILETYPE")) {
                Next();
                fixed[9] = Expr();
            } else if (IsWord(t, "FILESUBTYPE")) {
                Next();
                fixed[10] = Expr();
            } else if (IsWord(t, "LANGUAGE")) {
                Next();
                lang = Language();
            } else if (IsWord(t, "CHARACTERISTICS") || IsWord(t, "VERSION")) {
                Next();
                Expr();
            } else {
                break;
            }
        }
        Buf b;
        std::size_t start;
        VersionNodeHeader(b, start, u"VS_VERSION_INFO", 52, 0);
        for (std::uint32_t v : fixed)
            b.u32(v);
        VersionBlock(b, 0);
        VersionNodeEnd(b, start, at);
        Add(ResName{true, kVersion, {}}, name, lang, std::move(b.b), &at);
    }

    // A toolbar of the application frameworks: button size, then each button's command (0 for
    // a separator).
    void Toolbar(const ResName& name, const Token& at)
    {
        MemoryOptions();
        const std::uint32_t w = Expr();
        ExpectComma("the toolbar's button width");
        const std::uint32_t h = Expr();
        const std::uint16_t lang = CommonStatements();
        ExpectBegin("toolbar");
        std::vector<std::uint16_t> items;
        while (!IsEnd(Peek())) {
            if (IsWord(Peek(), "BUTTON")) {
                Next();
                items.push_back(std::uint16_t(Expr()));
            } else if (IsWord(Peek(), "SEPARATOR")) {
                Next();
                items.push_back(0);
            } else {
                Expected("BUTTON, SEPARATOR or END in the toolbar");
            }
        }
        Next();
        Buf b;
        b.u16(1);
        b.u16(w);
        b.u16(h);
        b.u16(std::uint16_t(items.size()));
        for (auto v : items)
            b.u16(v);
        Add(ResName{true, kToolbar, {}}, name, lang, std::move(b.b), &at);
    }
};

} // namespace

std::vector<Resource> Compile(const std::string& text, const Options& options, const FileReader& read)
{
    Lexer lexer(text, options);
    Parser parser(std::move(lexer.tokens), options, read);
    return parser.Run();
}

} // namespace moxrc
