// moximage2-rc: compiles a Windows resource script (.rc) into a C++ source file that, linked
// into a program or library, registers its resources with the platform for FindResource,
// LoadString, LoadAccelerators and the other loaders.
//
//   moximage2-rc [-I dir] [-D name[=value]] [-U name] [--cpp "command"] [--depfile file]
//                [--language 0x409] -o out.cpp script.rc
//
// The script goes through the C preprocessor as Windows' resource compiler does (RC_INVOKED and
// _WIN32 defined), after its text and that of the files it includes is converted to UTF-8 and
// their #include lines are resolved with '\' separators and file names in any case.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "rc_compiler.h"

extern char** environ;

namespace {

struct Config {
    std::string input, output, depfile;
    std::vector<std::string> includeDirs, defines;
    std::vector<std::string> cpp{"cpp"};
    std::uint16_t language = 0x0409;
};

bool ReadBytes(const std::string& path, std::vector<std::uint8_t>& out, std::size_t limit)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || std::uint64_t(st.st_size) > limit)
        return false;
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return false;
    out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return true;
}

std::string DirOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool IsDir(const std::string& p)
{
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& p)
{
    struct stat st;
    return stat(p.c_str(), &st) == 0;
}

// A name as a Windows script writes it ('\' or '/', any case) under `base`; empty if none.
std::string Resolve(const std::string& base, const std::string& name)
{
    std::string path = (!name.empty() && (name[0] == '/' || name[0] == '\\')) ? "" : base;
    std::string part;
    std::vector<std::string> parts;
    for (char c : name + "/") {
        if (c == '/' || c == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (parts.empty())
        return "";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& p = parts[i];
        const std::string dir = path.empty() ? "/" : path;
        if (p == "." || p == "..") {
            path = dir + "/" + p;
            continue;
        }
        std::string next = (dir == "/" ? "" : dir) + "/" + p;
        if (!Exists(next)) {
            next.clear();
            if (DIR* d = opendir(dir.c_str())) {
                while (dirent* e = readdir(d)) {
                    if (strcasecmp(e->d_name, p.c_str()) == 0) {
                        next = (dir == "/" ? "" : dir) + "/" + e->d_name;
                        break;
                    }
                }
                closedir(d);
            }
            if (next.empty())
                return "";
        }
        path = next;
    }
    return IsDir(path) ? "" : path;
}

// "l.XXX\\afxres.rc" and its like (a folder "l." and three letters, then one of MFC's standard
// resource scripts): the script's name without the folder; otherwise "".
std::string LanguageFolderStandardResource(const std::string& name)
{
    if (name.size() < 7 || name.compare(0, 2, "l.") != 0 || (name[5] != '\\' && name[5] != '/'))
        return "";
    for (int i = 2; i < 5; ++i)
        if (!std::isalpha(static_cast<unsigned char>(name[static_cast<std::size_t>(i)])))
            return "";
    const std::string file = name.substr(6);
    static const char* const kStandard[] = {"afxres.rc", "afxprint.rc", "afxribbon.rc"};
    for (const char* s : kStandard)
        if (strcasecmp(file.c_str(), s) == 0)
            return s;
    return "";
}

// Copies of the script and what it includes, as UTF-8 with resolved #include lines, in a private
// temporary folder; the preprocessor reads these.
class Sources {
public:
    Sources(const Config& config, std::string tempDir) : config_(config), temp_(std::move(tempDir)) {}

    std::string Prepare(const std::string& original, int depth = 0)
    {
        auto found = copies_.find(original);
        if (found != copies_.end())
            return found->second;
        std::vector<std::uint8_t> bytes;
        if (!ReadBytes(original, bytes, 64u << 20))
            throw moxrc::CompileError(original, 0, "cannot read the file");
        bool unicode = false;
        std::string text = moxrc::DecodeFileText(bytes, &unicode);
        if (unicode)
            unicodeFiles.insert(original);
        const std::size_t dot = original.rfind('.');
        const std::string ext = dot != std::string::npos && original.find('/', dot) == std::string::npos ? original.substr(dot) : "";
        const std::string copy = temp_ + "/" + std::to_string(copies_.size()) + ext;
        copies_[original] = copy;
        originals[copy] = original;
        read.insert(original);
        if (depth < 64)
            text = RewriteIncludes(text, original, depth);
        std::ofstream(copy, std::ios::binary) << text;
        return copy;
    }

    std::map<std::string, std::string> originals; // copy -> original
    std::set<std::string> unicodeFiles;
    std::set<std::string> read;

private:
    const Config& config_;
    std::string temp_;
    std::map<std::string, std::string> copies_;

    std::string RewriteIncludes(const std::string& text, const std::string& from, int depth)
    {
        std::string out;
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t eol = text.find('\n', pos);
            if (eol == std::string::npos)
                eol = text.size();
            std::string line = text.substr(pos, eol - pos);
            pos = eol + 1;
            std::size_t i = line.find_first_not_of(" \t");
            if (i != std::string::npos && line[i] == '#') {
                i = line.find_first_not_of(" \t", i + 1);
                if (i != std::string::npos && line.compare(i, 7, "include") == 0) {
                    const std::size_t open = line.find_first_of("\"<", i + 7);
                    const std::size_t close = open == std::string::npos ? open : line.find(line[open] == '"' ? '"' : '>', open + 1);
                    if (close != std::string::npos) {
                        const std::string name = line.substr(open + 1, close - open - 1);
                        std::vector<std::string> dirs;
                        if (line[open] == '"')
                            dirs.push_back(DirOf(from));
                        dirs.push_back(DirOf(config_.input));
                        dirs.insert(dirs.end(), config_.includeDirs.begin(), config_.includeDirs.end());
                        std::string found;
                        for (const std::string& d : dirs)
                            if (!(found = Resolve(d, name)).empty())
                                break;
                        // AppWizard includes MFC's standard resources from its language folder
                        // (l.CHS\afxres.rc, l.JPN\afxprint.rc, ...); those in English stand in.
                        // The preprocessor finds them in the tool's own include folder.
                        const std::string standard = found.empty() ? LanguageFolderStandardResource(name) : "";
                        if (!found.empty())
                            line = "#include \"" + Prepare(found, depth + 1) + "\"";
                        else if (!standard.empty())
                            line = "#include \"" + standard + "\"";
                    }
                }
            }
            out += line;
            out += '\n';
        }
        return out;
    }
};

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to)
{
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

std::string RcIncludeDir(const char* argv0)
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        self[n] = 0;
        const std::string installed = DirOf(DirOf(self)) + "/share/moximage2/rc-include";
        if (IsDir(installed))
            return installed;
    }
    return MOXRC_SOURCE_INCLUDE_DIR;
}

// Runs the preprocessor; its output in `out`, its messages (with the copies' names put back) on
// standard error. False if it failed.
bool Preprocess(const Config& config, const Sources& sources, const std::string& top, const std::string& tempDir,
                const std::string& rcInclude, std::string& out)
{
    std::vector<std::string> args = config.cpp;
    for (const char* a : {"-x", "c", "-undef", "-nostdinc", "-DRC_INVOKED", "-D_WIN32"})
        args.push_back(a);
    args.insert(args.end(), config.defines.begin(), config.defines.end());
    args.push_back("-I" + DirOf(config.input));
    for (const auto& d : config.includeDirs)
        args.push_back("-I" + d);
    args.push_back("-I" + rcInclude);
    args.push_back(top);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string outPath = tempDir + "/out.i", errPath = tempDir + "/err.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::cerr << "moximage2-rc: cannot run the preprocessor '" << args[0] << "': " << std::strerror(spawned) << "\n";
        return false;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    std::vector<std::uint8_t> bytes;
    std::string messages;
    if (ReadBytes(errPath, bytes, 16u << 20))
        messages.assign(bytes.begin(), bytes.end());
    for (const auto& [copy, original] : sources.originals)
        messages = ReplaceAll(messages, copy, original);
    std::cerr << messages;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    if (!ReadBytes(outPath, bytes, 1u << 30))
        return false;
    out.assign(bytes.begin(), bytes.end());
    // The line markers name the copies; errors and file look-ups want the originals.
    std::string fixed;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] == '#') {
            const std::size_t q = line.find('"');
            const std::size_t e = q == std::string::npos ? q : line.find('"', q + 1);
            if (e != std::string::npos) {
                auto it = sources.originals.find(line.substr(q + 1, e - q - 1));
                if (it != sources.originals.end())
                    line = line.substr(0, q + 1) + ReplaceAll(it->second, "\\", "\\\\") + line.substr(e);
            }
        }
        fixed += line;
        fixed += '\n';
    }
    out = std::move(fixed);
    return true;
}

std::string CString16(const std::u16string& s)
{
    std::string out = "u\"";
    char buf[16];
    for (char16_t c : s) {
        std::snprintf(buf, sizeof buf, "\\x%04x\" u\"", unsigned(c));
        out += buf;
    }
    return out + "\"";
}

void WriteSource(std::ostream& o, const std::vector<moxrc::Resource>& resources, const std::string& input)
{
    o << "// Generated by moximage2-rc from " << input << "; edit the script, not this file.\n"
      << "#include <cstddef>\n\nnamespace {\n\n"
      << "struct MoxResourceEntry {\n"
      << "    unsigned short typeId;\n    const char16_t* typeName;\n    unsigned short nameId;\n"
      << "    const char16_t* nameName;\n    unsigned short language;\n    const unsigned char* data;\n"
      << "    unsigned int size;\n};\n\n";
    for (std::size_t i = 0; i < resources.size(); ++i) {
        const auto& d = resources[i].data;
        o << "alignas(8) const unsigned char kData" << i << "[] =";
        if (d.empty())
            o << " \"\"";
        for (std::size_t at = 0; at < d.size(); at += 40) {
            o << "\n    \"";
            for (std::size_t k = at; k < d.size() && k < at + 40; ++k) {
                const unsigned char c = d[k];
                if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?')
                    o << char(c);
                else
                    o << '\\' << char('0' + (c >> 6)) << char('0' + ((c >> 3) & 7)) << char('0' + (c & 7));
            }
            o << '"';
        }
        o << ";\n";
    }
    o << "\nconst MoxResourceEntry kEntries[] = {\n";
    for (std::size_t i = 0; i < resources.size(); ++i) {
        const auto& r = resources[i];
        o << "    {" << r.type.id << ", " << (r.type.isId ? "nullptr" : CString16(r.type.text)) << ", " << r.name.id
          << ", " << (r.name.isId ? "nullptr" : CString16(r.name.text)) << ", " << r.language << ", kData" << i
          << ", " << r.data.size() << "u},\n";
    }
    if (resources.empty())
        o << "    {0, nullptr, 0, nullptr, 0, nullptr, 0u},\n";
    o << "};\n\n} // namespace\n\n"
      << "extern \"C\" void MoxRegisterResources(const void* anchor, const void* entries, std::size_t count,\n"
      << "                                     std::size_t entrySize);\n"
      << "extern \"C\" void MoxUnregisterResources(const void* entries);\n\n"
      << "namespace {\n"
      << "struct MoxResourceRegistration {\n"
      << "    MoxResourceRegistration() { MoxRegisterResources(kEntries, kEntries, " << resources.size()
      << ", sizeof(MoxResourceEntry)); }\n"
      << "    ~MoxResourceRegistration() { MoxUnregisterResources(kEntries); }\n"
      << "} moxResourceRegistration;\n"
      << "} // namespace\n";
}

std::string MakeEscape(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == ' ' || c == '#' || c == '\\')
            out += '\\';
        if (c == '$')
            out += '$';
        out += c;
    }
    return out;
}

int Usage()
{
    std::cerr << "usage: moximage2-rc [-I dir] [-D name[=value]] [-U name] [--cpp \"command\"]\n"
                 "                    [--depfile file] [--language 0x409] -o out.cpp script.rc\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    Config config;
    if (const char* cpp = std::getenv("MOXIMAGE2_RC_CPP"); cpp && *cpp) {
        config.cpp.clear();
        std::istringstream words(cpp);
        for (std::string w; words >> w;)
            config.cpp.push_back(w);
    }
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* flag) -> std::string {
            if (a.size() > std::strlen(flag) && a.compare(0, std::strlen(flag), flag) == 0)
                return a.substr(std::strlen(flag));
            if (i + 1 >= argc)
                throw std::invalid_argument(std::string(flag) + " needs a value");
            return argv[++i];
        };
        try {
            if (a == "-o" || (a.size() > 2 && a.compare(0, 2, "-o") == 0))
                config.output = value("-o");
            else if (a.compare(0, 2, "-I") == 0 || a.compare(0, 2, "/i") == 0)
                config.includeDirs.push_back(value(a.compare(0, 2, "-I") == 0 ? "-I" : "/i"));
            else if (a.compare(0, 2, "-D") == 0)
                config.defines.push_back("-D" + value("-D"));
            else if (a.compare(0, 2, "-U") == 0)
                config.defines.push_back("-U" + value("-U"));
            else if (a == "--cpp") {
                config.cpp.clear();
                std::istringstream words(value("--cpp"));
                for (std::string w; words >> w;)
                    config.cpp.push_back(w);
                if (config.cpp.empty())
                    return Usage();
            } else if (a == "--depfile")
                config.depfile = value("--depfile");
            else if (a == "--language" || a == "-l")
                config.language = std::uint16_t(std::stoul(value(a.c_str()), nullptr, 0));
            else if (a == "-h" || a == "--help")
                return Usage(), 0;
            else if (!a.empty() && a[0] == '-')
                return Usage();
            else if (config.input.empty())
                config.input = a;
            else
                return Usage();
        } catch (const std::exception& e) {
            std::cerr << "moximage2-rc: " << e.what() << "\n";
            return Usage();
        }
    }
    if (config.input.empty() || config.output.empty())
        return Usage();

    char tempTemplate[] = "/tmp/moximage2-rc.XXXXXX";
    const char* temp = mkdtemp(tempTemplate);
    if (!temp) {
        std::cerr << "moximage2-rc: cannot make a temporary folder\n";
        return 1;
    }
    const std::string tempDir = temp;
    int result = 1;
    Sources sources(config, tempDir);
    std::set<std::string> dependencies;
    try {
        const std::string top = sources.Prepare(config.input);
        std::string text;
        if (Preprocess(config, sources, top, tempDir, RcIncludeDir(argv[0]), text)) {
            moxrc::Options options;
            options.unicodeFiles = sources.unicodeFiles;
            options.defaultLanguage = config.language;
            const moxrc::FileReader reader = [&](const std::string& name, const std::string& from,
                                                 std::vector<std::uint8_t>& data) {
                std::vector<std::string> dirs{DirOf(from), DirOf(config.input)};
                dirs.insert(dirs.end(), config.includeDirs.begin(), config.includeDirs.end());
                for (const auto& d : dirs) {
                    const std::string path = Resolve(d, name);
                    if (!path.empty() && ReadBytes(path, data, options.maxFileBytes)) {
                        dependencies.insert(path);
                        return true;
                    }
                }
                return false;
            };
            const std::vector<moxrc::Resource> resources = moxrc::Compile(text, options, reader);
            const std::string partial = config.output + ".tmp";
            {
                std::ofstream out(partial, std::ios::binary);
                WriteSource(out, resources, config.input);
                if (!out.flush()) {
                    std::cerr << "moximage2-rc: cannot write " << config.output << "\n";
                    std::remove(partial.c_str());
                    throw 1;
                }
            }
            if (std::rename(partial.c_str(), config.output.c_str()) != 0) {
                std::cerr << "moximage2-rc: cannot write " << config.output << "\n";
                throw 1;
            }
            result = 0;
        }
    } catch (const moxrc::CompileError& e) {
        std::cerr << e.file;
        if (e.line > 0)
            std::cerr << ":" << e.line;
        std::cerr << ": error: " << e.what() << "\n";
    } catch (int) {
    }
    if (result == 0 && !config.depfile.empty()) {
        std::ofstream dep(config.depfile);
        dep << MakeEscape(config.output) << ":";
        for (const auto& f : sources.read)
            dep << " \\\n  " << MakeEscape(f);
        for (const auto& f : dependencies)
            dep << " \\\n  " << MakeEscape(f);
        dep << "\n";
    }
    for (const auto& [copy, original] : sources.originals)
        std::remove(copy.c_str());
    std::remove((tempDir + "/out.i").c_str());
    std::remove((tempDir + "/err.txt").c_str());
    rmdir(tempDir.c_str());
    return result;
}
