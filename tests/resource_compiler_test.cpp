// moximage2-rc: scripts in, Windows' binary resource layouts out; refusals that name the file
// and line; and the tool itself over a script saved as a resource editor saves it (UTF-16 with a
// byte-order mark, CRLF, '\' paths that differ in case from the files).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "rc_compiler.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Result {
    std::vector<moxrc::Resource> resources;
    std::string error; // "file:line: message" when refused
};

Result Compile(const std::string& script, const std::map<std::string, Bytes>& files = {},
           std::set<std::string> unicode = {})
{
    moxrc::Options options;
    options.unicodeFiles = std::move(unicode);
    const moxrc::FileReader reader = [&](const std::string& name, const std::string&, Bytes& out) {
        auto it = files.find(name);
        if (it == files.end())
            return false;
        out = it->second;
        return true;
    };
    Result r;
    try {
        r.resources = moxrc::Compile("# 1 \"app.rc\"\n" + script, options, reader);
    } catch (const moxrc::CompileError& e) {
        r.error = e.file + ":" + std::to_string(e.line) + ": " + e.what();
    }
    return r;
}

const moxrc::Resource* Find(const Result& r, std::uint16_t type, std::uint16_t name, std::uint16_t language = 0x0409)
{
    for (const auto& res : r.resources)
        if (res.type.isId && res.type.id == type && res.name.isId && res.name.id == name && res.language == language)
            return &res;
    return nullptr;
}

unsigned U16(const Bytes& b, std::size_t at)
{
    return at + 1 < b.size() ? unsigned(b[at] | b[at + 1] << 8) : 0xDEADu;
}
std::uint32_t U32(const Bytes& b, std::size_t at)
{
    return U16(b, at) | std::uint32_t(U16(b, at + 2)) << 16;
}

// The strings of an RT_STRING block: 16 counted UTF-16 strings.
std::vector<std::u16string> Block(const Bytes& b)
{
    std::vector<std::u16string> out;
    std::size_t at = 0;
    for (int i = 0; i < 16 && at + 2 <= b.size(); ++i) {
        const unsigned n = U16(b, at);
        std::u16string s;
        for (unsigned k = 0; k < n; ++k)
            s += char16_t(U16(b, at + 2 + 2 * k));
        out.push_back(s);
        at += 2 + 2 * n;
    }
    EXPECT_EQ(at, b.size());
    return out;
}

TEST(ResourceCompiler, StringTablesAreBlocksOfSixteen)
{
    // Windows keeps string n in block n / 16 + 1 at slot n % 16 (MSDN "STRINGTABLE resource";
    // "String resources", layout of RT_STRING).
    const Result r = Compile("STRINGTABLE\nBEGIN\n 1, \"one\"\n 17 \"a\" \"b\"\n 31 \"q\"\"x\\ty\\x41\\101\"\nEND\n"
                         "STRINGTABLE LANGUAGE 7, 1 BEGIN 1 \"eins\" END\n");
    ASSERT_EQ(r.error, "");
    const auto* first = Find(r, 6, 1);
    const auto* second = Find(r, 6, 2);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->language, 0x0409);
    auto b1 = Block(first->data);
    ASSERT_EQ(b1.size(), 16u);
    EXPECT_EQ(b1[0], u"");
    EXPECT_EQ(b1[1], u"one");
    auto b2 = Block(second->data);
    EXPECT_EQ(b2[1], u"ab");
    EXPECT_EQ(b2[15], u"q\"x\tyAA");
    // A second table in another language is a block of its own.
    int german = 0;
    for (const auto& res : r.resources)
        german += res.type.id == 6 && res.language == 0x0407;
    EXPECT_EQ(german, 1);
}

TEST(ResourceCompiler, TextIsReadInItsOwnEncoding)
{
    struct Case {
        const char* what;
        std::string script;
        bool unicodeFile;
        std::u16string expected;
    };
    const Case cases[] = {
        {"code page 1252", "#pragma code_page(1252)\nSTRINGTABLE BEGIN 1 \"caf\xE9 \x80\" END\n", false, u"caf\u00e9 \u20ac"},
        {"UTF-8 by pragma", "#pragma code_page(65001)\nSTRINGTABLE BEGIN 1 \"caf\xC3\xA9\" END\n", false, u"caf\u00e9"},
        {"UTF-8 without a pragma", "STRINGTABLE BEGIN 1 \"caf\xC3\xA9\" END\n", false, u"caf\u00e9"},
        {"bytes that are not UTF-8 as 1252", "STRINGTABLE BEGIN 1 \"caf\xE9\" END\n", false, u"caf\u00e9"},
        // A Unicode file's text is Unicode whatever the pragma says (MSDN "Using #pragma code_page").
        {"Unicode file ignores the pragma", "#pragma code_page(1252)\nSTRINGTABLE BEGIN 1 \"caf\xC3\xA9\" END\n", true, u"caf\u00e9"},
        {"wide escapes are UTF-16 units", "STRINGTABLE BEGIN 1 L\"\\x263A\" END\n", false, u"\u263a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Result r = Compile(c.script, {}, c.unicodeFile ? std::set<std::string>{"app.rc"} : std::set<std::string>{});
        ASSERT_EQ(r.error, "");
        const auto* block = Find(r, 6, 1);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(Block(block->data)[1], c.expected);
    }
    bool unicode = false;
    EXPECT_EQ(moxrc::DecodeFileText({0xFF, 0xFE, 'a', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE}, &unicode), "a\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_TRUE(unicode);
    EXPECT_EQ(moxrc::DecodeFileText({'a', 0xE9}, &unicode), "a\xE9");
    EXPECT_FALSE(unicode);
}

TEST(ResourceCompiler, AcceleratorTableLayout)
{
    // ACCELTABLEENTRY: flags, key, command, padding; 0x80 marks the last entry. "^C" is
    // control-C (3); a VIRTKEY letter is its upper-case code (MSDN "ACCELERATORS resource").
    const Result r = Compile("5 ACCELERATORS\nBEGIN\n \"^C\", 10\n \"a\", 11, VIRTKEY, CONTROL, SHIFT\n"
                         " 0x70, 12, VIRTKEY, ALT, NOINVERT\n \"b\", 13, ASCII\nEND\n");
    ASSERT_EQ(r.error, "");
    const auto* t = Find(r, 9, 5);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->data.size(), 32u);
    const unsigned expected[4][3] = {{0x00, 3, 10}, {0x01 | 0x08 | 0x04, 'A', 11}, {0x01 | 0x10 | 0x02, 0x70, 12}, {0x80, 'b', 13}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(U16(t->data, 8 * i), expected[i][0]);
        EXPECT_EQ(U16(t->data, 8 * i + 2), expected[i][1]);
        EXPECT_EQ(U16(t->data, 8 * i + 4), expected[i][2]);
    }
}

Bytes IconFile(std::uint16_t kind, int images)
{
    Bytes f = {0, 0, std::uint8_t(kind), 0, std::uint8_t(images), 0};
    const std::size_t imageBytes = 48;
    for (int i = 0; i < images; ++i) {
        const std::uint32_t off = std::uint32_t(6 + 16 * images + imageBytes * i);
        const std::uint8_t size = std::uint8_t(16 << i);
        Bytes e = {size, size, 0, 0, 3, 0, 4, 0, std::uint8_t(imageBytes), 0, 0, 0,
                   std::uint8_t(off), std::uint8_t(off >> 8), 0, 0};
        f.insert(f.end(), e.begin(), e.end());
    }
    for (int i = 0; i < images; ++i) {
        Bytes dib(imageBytes, std::uint8_t(0xA0 + i));
        dib[0] = 40, dib[1] = dib[2] = dib[3] = 0;
        dib[12] = 1, dib[13] = 0, dib[14] = 32, dib[15] = 0; // planes, bit count
        f.insert(f.end(), dib.begin(), dib.end());
    }
    return f;
}

TEST(ResourceCompiler, IconsAndCursorsBecomeGroupsOfNumberedImages)
{
    const Result r = Compile("1 ICON \"a.ico\"\n2 CURSOR \"b.cur\"\n3 BITMAP \"c.bmp\"\n",
                         {{"a.ico", IconFile(1, 2)}, {"b.cur", IconFile(2, 1)},
                          {"c.bmp", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0xFF, 0}}});
    ASSERT_EQ(r.error, "");
    const auto* icons = Find(r, 14, 1);
    ASSERT_NE(icons, nullptr);
    ASSERT_EQ(icons->data.size(), 6u + 2 * 14);
    EXPECT_EQ(icons->data[6], 16);
    EXPECT_EQ(U16(icons->data, 6 + 4), 1u);  // planes, from the image
    EXPECT_EQ(U16(icons->data, 6 + 6), 32u); // bit count, from the image
    EXPECT_EQ(U32(icons->data, 6 + 8), 48u);
    const unsigned firstId = U16(icons->data, 6 + 12), secondId = U16(icons->data, 20 + 12);
    EXPECT_NE(firstId, secondId);
    ASSERT_TRUE(Find(r, 3, std::uint16_t(firstId)) && Find(r, 3, std::uint16_t(secondId)));
    EXPECT_EQ(Find(r, 3, std::uint16_t(secondId))->data[20], 0xA1);

    // Cursors: hot spot first in each image, and the group's height counts the mask.
    const auto* cursors = Find(r, 12, 2);
    ASSERT_NE(cursors, nullptr);
    EXPECT_EQ(U16(cursors->data, 6), 16u);
    EXPECT_EQ(U16(cursors->data, 8), 32u);
    EXPECT_EQ(U32(cursors->data, 14), 48u + 4);
    const auto* image = Find(r, 1, std::uint16_t(U16(cursors->data, 18)));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(U16(image->data, 0), 3u);
    EXPECT_EQ(U16(image->data, 2), 4u);
    EXPECT_NE(firstId, U16(cursors->data, 18)); // icon and cursor images share one numbering

    const auto* bitmap = Find(r, 2, 3);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->data.size(), 28u - 14);
}

TEST(ResourceCompiler, MenuDialogAndVersionTemplates)
{
    const Result r = Compile(
        "1 MENU BEGIN POPUP \"&G\" BEGIN MENUITEM \"&N\", 100 MENUITEM SEPARATOR MENUITEM \"X\", 101, GRAYED END END\n"
        "2 DIALOG 1, 2, 30, 40 CAPTION \"T\" FONT 8, \"F\" BEGIN PUSHBUTTON \"OK\", 1, 3, 4, 5, 6, NOT 0x10000 | 0x100\n"
        "CONTROL \"\", 7, \"Edit\", 0x80, 1, 1, 9, 9 END\n"
        "3 VERSIONINFO FILEVERSION 1,2,3,4 BEGIN BLOCK \"StringFileInfo\" BEGIN BLOCK \"040904b0\" BEGIN VALUE \"A\", \"b\" END END END\n");
    ASSERT_EQ(r.error, "");
    // MENUITEMTEMPLATEHEADER, then flags (MF_POPUP 0x10, MF_END 0x80), id, text.
    const Bytes& m = Find(r, 4, 1)->data;
    EXPECT_EQ(U32(m, 0), 0u);
    EXPECT_EQ(U16(m, 4), 0x10u | 0x80u);
    const std::size_t item = 4 + 2 + 6; // header, flags, "&G\0"
    EXPECT_EQ(U16(m, item), 0u);
    EXPECT_EQ(U16(m, item + 2), 100u);
    EXPECT_EQ(U16(m, item + 10), 0u); // separator: flags, id and text all zero
    EXPECT_EQ(U16(m, item + 12), 0u);
    EXPECT_EQ(U16(m, item + 16), 0x01u | 0x80u); // GRAYED, last of the popup

    // DLGTEMPLATE: the default style WS_POPUP | WS_BORDER | WS_SYSMENU gains WS_CAPTION and
    // DS_SETFONT (MSDN "DIALOG resource"); a PUSHBUTTON is WS_CHILD | WS_VISIBLE | WS_TABSTOP
    // unless NOT takes it away, of class 0x0080.
    const Bytes& d = Find(r, 5, 2)->data;
    EXPECT_EQ(U32(d, 0), 0x80880000u | 0x00C00000u | 0x40u);
    EXPECT_EQ(U16(d, 8), 2u);
    EXPECT_EQ(U16(d, 10), 1u);
    EXPECT_EQ(U16(d, 16), 40u);
    // menu 0, class 0, "T", 8, "F" -> items start on the next 4-byte boundary
    std::size_t at = 18 + 2 + 2 + 4 + 2 + 4;
    at = (at + 3) & ~std::size_t{3};
    EXPECT_EQ(U32(d, at), 0x50000000u | 0x100u);
    EXPECT_EQ(U16(d, at + 16), 1u);      // id
    EXPECT_EQ(U16(d, at + 18), 0xFFFFu); // class by ordinal
    EXPECT_EQ(U16(d, at + 20), 0x80u);

    // VS_VERSIONINFO: length of everything, key, then VS_FIXEDFILEINFO on a 4-byte boundary.
    const Bytes& v = Find(r, 16, 3)->data;
    EXPECT_EQ(U16(v, 0), v.size());
    EXPECT_EQ(U16(v, 2), 52u);
    EXPECT_EQ(U32(v, 40), 0xFEEF04BDu);
    EXPECT_EQ(U32(v, 48), 0x00010002u);
    EXPECT_EQ(U32(v, 52), 0x00030004u);
}

TEST(ResourceCompiler, ExtendedMenuAndDialogTemplates)
{
    const Result r = Compile("1 MENUEX BEGIN POPUP \"P\", 5, 0, 0, 9 BEGIN MENUITEM \"I\", 6, 0x200, 8 END END\n"
                             "2 DIALOGEX 1, 2, 3, 4, 77 STYLE 0x80000000 | 0x48 EXSTYLE 0x100 FONT 9, \"F\", 700, 1, 2\n"
                             "BEGIN EDITTEXT 70000, 1, 2, 3, 4, 0x80, 0x200, 12 END\n");
    ASSERT_EQ(r.error, "");
    // MENUEX_TEMPLATE_HEADER (version 1, offset 4, help id), then per item type, state, id,
    // resInfo (0x01 popup, 0x80 last), text, and a popup's help id on a DWORD boundary.
    const Bytes& m = Find(r, 4, 1)->data;
    EXPECT_EQ(U16(m, 0), 1u);
    EXPECT_EQ(U16(m, 2), 4u);
    EXPECT_EQ(U32(m, 8 + 8), 5u);            // popup id
    EXPECT_EQ(U16(m, 8 + 12), 0x01u | 0x80u); // popup, last at its level
    const std::size_t help = (8 + 14 + 4 + 3) & ~std::size_t{3}; // after "P\0"
    EXPECT_EQ(U32(m, help), 9u);
    const std::size_t item = help + 4;
    EXPECT_EQ(U32(m, item), 0x200u);          // MFT_RADIOCHECK
    EXPECT_EQ(U32(m, item + 4), 8u);          // MFS_CHECKED
    EXPECT_EQ(U32(m, item + 8), 6u);
    EXPECT_EQ(U16(m, item + 12), 0x80u);

    // DLGTEMPLATEEX: version 1, 0xFFFF, help id, extended style, style; the font with weight,
    // italic and character set; items with 32-bit ids.
    const Bytes& d = Find(r, 5, 2)->data;
    EXPECT_EQ(U16(d, 0), 1u);
    EXPECT_EQ(U16(d, 2), 0xFFFFu);
    EXPECT_EQ(U32(d, 4), 77u);
    EXPECT_EQ(U32(d, 8), 0x100u);
    EXPECT_EQ(U32(d, 12), 0x80000048u);
    EXPECT_EQ(U16(d, 16), 1u);
    const std::size_t font = 26 + 2 + 2 + 2; // menu, class, empty title
    EXPECT_EQ(U16(d, font), 9u);
    EXPECT_EQ(U16(d, font + 2), 700u);
    EXPECT_EQ(d[font + 4], 1);
    EXPECT_EQ(d[font + 5], 2);
    const std::size_t at = (font + 6 + 4 + 3) & ~std::size_t{3}; // after "F\0"
    EXPECT_EQ(U32(d, at), 12u);                                  // help id
    EXPECT_EQ(U32(d, at + 4), 0x200u);                           // extended style
    EXPECT_EQ(U32(d, at + 8), 0x50000000u | 0x00810000u | 0x80u); // EDITTEXT's WS_BORDER | WS_TABSTOP kept
    EXPECT_EQ(U32(d, at + 20), 70000u);
    EXPECT_EQ(U16(d, at + 26), 0x81u); // class Edit by ordinal
}

TEST(ResourceCompiler, RefusalsNameTheFileLineAndWhatWasExpected)
{
    struct Case {
        std::string script;
        std::string error;
    };
    const Case cases[] = {
        {"1 ACCELERATORS\nBEGIN\n \"a\" 10\nEND\n", "app.rc:3: expected ',' after the accelerator's key, found 10"},
        {"STRINGTABLE\nBEGIN\n 1 \"unterminated\nEND\n", "app.rc:3: expected '\"' to end the string"},
        {"STRINGTABLE BEGIN\n 1 \"a\"\n", "app.rc:2: expected END to close the string table, found the end of the script"},
        {"STRINGTABLE BEGIN 1 \"a\"\n 1 \"b\" END\n", "app.rc:2: string 1 is already defined"},
        {"1 BITMAP \"missing.bmp\"\n", "app.rc:1: cannot open the file 'missing.bmp'"},
        {"\n1 BITMAP \"not.bmp\"\n", "app.rc:2: expected a .bmp file (starting with 'BM'), 'not.bmp' is not one"},
        {"1 ICON \"not.bmp\"\n", "app.rc:1: expected an .ico file, 'not.bmp' is not one"},
        {"1 RCDATA BEGIN 1 / 0 END\n", "app.rc:1: division by zero"},
        {"#pragma code_page(932)\n", "app.rc:1: code page 932 is not supported (1252, 65001, 28591 and 20127 are)"},
        {"1 MENU BEGIN ITEM \"x\" END\n", "app.rc:1: expected MENUITEM, POPUP or END in the menu, found 'ITEM'"},
        {"1 DIALOG 0, 0, 10 BEGIN END\n", "app.rc:1: expected ',' after the dialog's width, found 'BEGIN'"},
        {"1 DIALOG 0,0,1,1 BEGIN BUTTONX \"a\" END\n", "app.rc:1: expected a control statement (CONTROL, LTEXT, PUSHBUTTON, EDITTEXT, ...) or END, found 'BUTTONX'"},
        {"1\n", "app.rc:1: expected a resource type after the name, found the end of the script"},
        {"# 40 \"res/app.rc2\"\n1 RCDATA BEGIN ? END\n", "res/app.rc2:40: unexpected character '?'"},
        {"1 RCDATA BEGIN 1 END\n1 RCDATA BEGIN 2 END\n", "app.rc:2: a resource of this type, name and language is already defined"},
    };
    const std::map<std::string, Bytes> files = {{"not.bmp", Bytes(40, 'x')}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(Compile(c.script, files).error, c.error);
    }
    // Lines from headers are the preprocessor's alone, whatever they hold (MSDN "Using RC":
    // files ending in .c or .h hold only preprocessor directives for the compiler).
    EXPECT_EQ(Compile("# 1 \"Resource.H\"\ntypedef int x; }{ ?\n# 5 \"app.rc\"\n1 RCDATA BEGIN 1 END\n").error, "");
}

// --- The tool itself, with the system's preprocessor.

std::string TempDir()
{
    const char* base = std::getenv("MOX_TEST_TMP");
    // One folder a test: CTest runs the tests of this file side by side.
    std::string dir = std::string(base ? base : "/tmp") + "/resource_compiler_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/Res'").c_str());
    return dir;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Utf16WithMark(const std::string& ascii)
{
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

TEST(ResourceCompilerTool, CompilesAnEditorsUtf16ScriptWithItsHeader)
{
    const std::string dir = TempDir();
    WriteFile(dir + "/RESOURCE.H", "#define IDB_SPRITE 130\r\n#define IDS_HELLO 7\r\nint not_for_rc(void);\r\n");
    const char core[] = "\x0c\0\0\0\x01\0\x01\0\x01\0\x18\0"; // BITMAPCOREHEADER, 1 x 1, 24 bits
    WriteFile(dir + "/Res/Sprite.BMP", "BM" + std::string(12, '\0') + std::string(core, 12) + std::string(4, '\xAA'));
    WriteFile(dir + "/game.rc", Utf16WithMark("#include \"resource.h\"\r\n#ifdef RC_INVOKED\r\n"
                                              "IDB_SPRITE BITMAP \"res\\\\sprite.bmp\"\r\n#endif\r\n"
                                              "#ifdef APSTUDIO_INVOKED\r\n1 TEXTINCLUDE BEGIN \"x\" END\r\n#endif\r\n"
                                              "STRINGTABLE BEGIN IDS_HELLO \"hi\" END\r\n"));
    const std::string out = dir + "/game_rc.cpp";
    ASSERT_EQ(std::system((std::string(MOXRC_TOOL) + " --depfile '" + dir + "/game.d' -o '" + out + "' '" + dir + "/game.rc'").c_str()), 0);
    const std::string source = ReadFile(out);
    EXPECT_NE(source.find("{2, nullptr, 130, nullptr, 1033, kData"), std::string::npos) << source.substr(0, 400);
    EXPECT_NE(source.find("MoxRegisterResources"), std::string::npos);
    // The dependencies name the header and the bitmap by their names on disk.
    const std::string deps = ReadFile(dir + "/game.d");
    EXPECT_NE(deps.find("RESOURCE.H"), std::string::npos) << deps;
    EXPECT_NE(deps.find("Res/Sprite.BMP"), std::string::npos) << deps;
}

// What a wizard-made MFC script includes: targetver.h's SDKDDKVer.h, verrsrc.h, the framework's
// prompts (AFX_IDS_SC...), common-control styles through afxres.h, and afxres.rc/afxribbon.rc.
TEST(ResourceCompilerTool, CompilesAWizardMadeScript)
{
    const std::string dir = TempDir();
    WriteFile(dir + "/targetver.h", "#pragma once\r\n#include <SDKDDKVer.h>\r\n");
    WriteFile(dir + "/app.rc", "#include \"targetver.h\"\r\n#include \"afxres.h\"\r\n#include \"verrsrc.h\"\r\n"
                               "LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED\r\n"
                               "STRINGTABLE BEGIN AFX_IDS_SCSIZE \"Size\" AFX_IDS_PREVIEW_CLOSE \"Close\" END\r\n"
                               "1 DIALOGEX 0, 0, 90, 40\r\nSTYLE DS_SETFONT | WS_POPUP\r\nFONT 9, \"MS Shell Dlg\"\r\n"
                               "BEGIN CONTROL \"\", 1000, \"SysListView32\", LVS_LIST | WS_BORDER, 5, 5, 50, 30 END\r\n"
                               "#include \"afxres.rc\"\r\n#include \"afxribbon.rc\"\r\n");
    const std::string out = dir + "/app_rc.cpp";
    ASSERT_EQ(std::system((std::string(MOXRC_TOOL) + " -o '" + out + "' '" + dir + "/app.rc'").c_str()), 0);
    EXPECT_NE(ReadFile(out).find("MoxRegisterResources"), std::string::npos);
}

// AppWizard writes MFC's standard resources under the program's language folder; any such
// folder finds them, and only them (MFC ships l.CHS, l.CHT, l.DEU, l.JPN, l.KOR, ... folders).
TEST(ResourceCompilerTool, LanguageFoldersOfTheStandardResourcesResolve)
{
    const struct {
        const char* include;
        bool compiles;
    } cases[] = {
        {"l.CHS\\afxres.rc", true},   {"l.jpn/afxprint.rc", true},     {"l.DEU\\AFXRIBBON.RC", true},
        {"l.KOR\\afxres.rc", true},   {"l.CHS\\other.rc", false},    {"l.CHSX\\afxres.rc", false},
        {"x.CHS\\afxres.rc", false},
    };
    const std::string dir = TempDir();
    for (const auto& c : cases) {
        WriteFile(dir + "/app.rc", std::string("#include \"afxres.h\"\r\n#include \"") + c.include + "\"\r\n");
        const std::string out = dir + "/app_rc.cpp";
        std::remove(out.c_str());
        const int status = std::system((std::string(MOXRC_TOOL) + " -o '" + out + "' '" + dir + "/app.rc' 2>/dev/null").c_str());
        EXPECT_EQ(status == 0, c.compiles) << c.include;
    }
}

TEST(ResourceCompilerTool, ErrorsNameTheScriptAndLeaveNoOutput)
{
    const std::string dir = TempDir();
    WriteFile(dir + "/bad.rc", Utf16WithMark("// a comment\r\n\r\n1 ACCELERATORS BEGIN \"ab\", 3 END\r\n"));
    const std::string out = dir + "/bad_rc.cpp";
    const std::string command = std::string(MOXRC_TOOL) + " -o '" + out + "' '" + dir + "/bad.rc' 2> '" + dir + "/err.txt'";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_NE(ReadFile(dir + "/err.txt").find("bad.rc:3: error: expected one character or ^ and a letter"), std::string::npos)
        << ReadFile(dir + "/err.txt");
    struct stat st;
    EXPECT_NE(stat(out.c_str(), &st), 0);
}

} // namespace
