// The registry stand-in. The whole tree is read from its file for every operation and
// written back through the safe writer after every change, so several registry objects
// (and processes) see one another's changes at once.
//
// File format: a "[ROOT\Key\Sub]" line opens a key, followed by "name=s:text" (string)
// or "name=i:123" (integer) lines. Names and texts escape the bytes that would break the
// format (line breaks and other control bytes, '%', '=', '[', ']', '\') as %HH.
#include "platform/files/Registry.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/runtime/FileCalls.h"
#include "platform/runtime/SafeWrite.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

namespace {

using TPath = std::vector<std::string>;  // the root's name, then the key names

struct TRegValue {
    std::string Name;
    char Type = 's';  // 's' string, 'i' integer
    std::string Data;
};

struct TRegKey {
    TPath Path;
    std::vector<TRegValue> Values;
};

using TRegStore = std::vector<TRegKey>;

std::string& RegistryFileOverride()
{
    static std::string path;
    return path;
}

std::string RegistryFile()
{
    if (!RegistryFileOverride().empty())
        return RegistryFileOverride();
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/')
        return std::string(config) + "/quorvel/registry.ini";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0')
        throw ERegistryException("Cannot find the registry file: HOME is not set");
    return std::string(home) + "/.config/quorvel/registry.ini";
}

std::string Escape(const std::string& S)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string result;
    for (char c : S) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || c == '%' || c == '=' || c == '[' || c == ']' || c == '\\') {
            result += '%';
            result += kHex[b >> 4];
            result += kHex[b & 15];
        } else {
            result += c;
        }
    }
    return result;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool Unescape(const std::string& S, std::string& Result)
{
    Result.clear();
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] != '%') {
            Result += S[i];
            continue;
        }
        if (i + 2 >= S.size() || HexDigit(S[i + 1]) < 0 || HexDigit(S[i + 2]) < 0)
            return false;
        Result += static_cast<char>(HexDigit(S[i + 1]) * 16 + HexDigit(S[i + 2]));
        i += 2;
    }
    return true;
}

TPath SplitPath(const std::string& Path)
{
    TPath names;
    std::size_t start = 0;
    while (start <= Path.size()) {
        std::size_t end = Path.find('\\', start);
        if (end == std::string::npos)
            end = Path.size();
        if (end > start)
            names.push_back(Path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string JoinPath(TPath::const_iterator First, TPath::const_iterator Last)
{
    std::string path;
    for (auto it = First; it != Last; ++it)
        path += (it == First ? "" : "\\") + *it;
    return path;
}

bool StartsWith(const TPath& Path, const TPath& Prefix)
{
    if (Path.size() < Prefix.size())
        return false;
    for (std::size_t i = 0; i < Prefix.size(); ++i) {
        if (!AnsiSameText(Path[i], Prefix[i]))
            return false;
    }
    return true;
}

[[noreturn]] void RaiseBadFile(const std::string& FileName, int Line)
{
    throw ERegistryException("Invalid registry file \"" + FileName + "\" (line " +
                             std::to_string(Line) + ")");
}

TRegStore Parse(const std::string& Bytes, const std::string& FileName)
{
    TRegStore store;
    TStringList lines;
    lines.SetText(Bytes);
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = lines.Strings(i);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[' && line.back() == ']') {
            TRegKey key;
            for (const std::string& escaped : SplitPath(line.substr(1, line.size() - 2))) {
                key.Path.emplace_back();
                if (!Unescape(escaped, key.Path.back()))
                    RaiseBadFile(FileName, i + 1);
            }
            if (key.Path.size() < 2)
                RaiseBadFile(FileName, i + 1);
            store.push_back(std::move(key));
            continue;
        }
        const auto equals = line.find('=');
        TRegValue value;
        if (store.empty() || equals == std::string::npos || line.size() < equals + 3 ||
            (line[equals + 1] != 's' && line[equals + 1] != 'i') || line[equals + 2] != ':' ||
            !Unescape(line.substr(0, equals), value.Name) ||
            !Unescape(line.substr(equals + 3), value.Data))
            RaiseBadFile(FileName, i + 1);
        value.Type = line[equals + 1];
        Integer number = 0;
        if (value.Type == 'i' && !TryStrToInt(value.Data, number))
            RaiseBadFile(FileName, i + 1);
        store.back().Values.push_back(std::move(value));
    }
    return store;
}

TRegStore Load()
{
    const std::string fileName = RegistryFile();
    // Only a file that is not there is an empty registry: one whose status cannot be read
    // raises, so that the next write does not put an empty registry in its place.
    struct stat info {};
    if (FileCalls().FStatAt(AT_FDCWD, fileName.c_str(), &info, 0) != 0) {
        if (errno != ENOENT)
            throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
        return {};
    }
    return Parse(ReadFileBytes(fileName), fileName);
}

void MakeFolders(const std::string& FileName)
{
    for (auto slash = FileName.find('/', 1); slash != std::string::npos;
         slash = FileName.find('/', slash + 1)) {
        const std::string folder = FileName.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return;  // the safe writer reports the missing folder with the file's name
    }
}

void Save(const TRegStore& Store)
{
    std::string bytes;
    for (const TRegKey& key : Store) {
        std::string path;
        for (const std::string& name : key.Path)
            path += (path.empty() ? "" : "\\") + Escape(name);
        bytes += (bytes.empty() ? "[" : "\n[") + path + "]\n";
        for (const TRegValue& value : key.Values)
            bytes += Escape(value.Name) + "=" + value.Type + ":" + Escape(value.Data) + "\n";
    }
    const std::string fileName = RegistryFile();
    MakeFolders(fileName);
    SafeWriteFile(fileName, bytes);
}

bool PathExists(const TRegStore& Store, const TPath& Path)
{
    for (const TRegKey& key : Store) {
        if (StartsWith(key.Path, Path))
            return true;
    }
    return Path.size() == 1;  // the root always exists
}

TRegKey* FindKey(TRegStore& Store, const TPath& Path)
{
    for (TRegKey& key : Store) {
        if (key.Path.size() == Path.size() && StartsWith(key.Path, Path))
            return &key;
    }
    return nullptr;
}

// Path with every name that already exists spelled as it was first written.
TPath Spelled(const TRegStore& Store, const TPath& Path)
{
    TPath spelled = Path;
    for (std::size_t i = 1; i < Path.size(); ++i) {
        const TPath prefix(Path.begin(), Path.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        for (const TRegKey& key : Store) {
            if (StartsWith(key.Path, prefix)) {
                spelled[i] = key.Path[i];
                break;
            }
        }
    }
    return spelled;
}

TRegKey& FindOrCreateKey(TRegStore& Store, const TPath& Path)
{
    if (TRegKey* key = FindKey(Store, Path))
        return *key;
    Store.push_back(TRegKey{Spelled(Store, Path), {}});
    return Store.back();
}

TRegValue* FindValue(TRegKey* Key, const std::string& Name)
{
    if (Key == nullptr)
        return nullptr;
    for (TRegValue& value : Key->Values) {
        if (AnsiSameText(value.Name, Name))
            return &value;
    }
    return nullptr;
}

TPath FullPath(const std::string& RootName, const std::string& Relative)
{
    TPath path = SplitPath(Relative);
    path.insert(path.begin(), RootName);
    return path;
}

// The data of value Name in the key at Path; Found tells whether it exists. A value of
// another type raises.
std::string ReadValue(TRegStore& Store, const TPath& Path, const std::string& Name, char Type,
                      bool& Found)
{
    const TRegValue* value = FindValue(FindKey(Store, Path), Name);
    Found = value != nullptr;
    if (value == nullptr)
        return {};
    if (value->Type != Type)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    return value->Data;
}

// Sets Value in the key at Path (created when missing); an existing value keeps the
// spelling of its name.
void StoreValue(const TPath& Path, const TRegValue& Value)
{
    TRegStore store = Load();
    TRegKey& key = FindOrCreateKey(store, Path);
    if (TRegValue* existing = FindValue(&key, Value.Name)) {
        existing->Type = Value.Type;
        existing->Data = Value.Data;
    } else {
        key.Values.push_back(Value);
    }
    Save(store);
}

}  // namespace

void SetRegistryFileForTests(const std::string& Path)
{
    RegistryFileOverride() = Path;
}

TRegistry::TRegistry() = default;

TRegistry::TRegistry(DWORD AAccess) : access_(AAccess) {}

void TRegistry::SetRootKey(HKEY Value)
{
    if (Value < HKEY_CLASSES_ROOT || Value > HKEY_USERS)
        throw ERegistryException("Invalid root key");
    CloseKey();
    rootKey_ = Value;
}

std::string TRegistry::RootName() const
{
    static const char* const kNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                         "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
    return kNames[rootKey_ - HKEY_CLASSES_ROOT];
}

std::string TRegistry::Resolve(const std::string& Key) const
{
    if (!Key.empty() && Key[0] == '\\')
        return Key.substr(1);
    if (currentPath_.empty())
        return Key;
    return Key.empty() ? currentPath_ : currentPath_ + "\\" + Key;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate)
{
    TRegStore store = Load();
    const TPath path = FullPath(RootName(), Resolve(Key));
    if (!PathExists(store, path)) {
        if (!CanCreate)
            return false;
        FindOrCreateKey(store, path);
        Save(store);
    }
    const TPath spelled = Spelled(store, path);
    currentPath_ = JoinPath(spelled.begin() + 1, spelled.end());
    keyOpen_ = true;
    keyWritable_ = (access_ & KEY_SET_VALUE) != 0;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key)
{
    if (!OpenKey(Key, false))
        return false;
    keyWritable_ = false;
    return true;
}

bool TRegistry::CreateKey(const std::string& Key)
{
    const TPath path = FullPath(RootName(), Resolve(Key));
    if (path.size() < 2)
        return false;
    TRegStore store = Load();
    if (FindKey(store, path) == nullptr) {
        FindOrCreateKey(store, path);
        Save(store);
    }
    return true;
}

void TRegistry::CloseKey()
{
    currentPath_.clear();
    keyOpen_ = false;
    keyWritable_ = true;
}

bool TRegistry::KeyExists(const std::string& Key)
{
    return PathExists(Load(), FullPath(RootName(), Resolve(Key)));
}

bool TRegistry::DeleteKey(const std::string& Key)
{
    const TPath path = FullPath(RootName(), Resolve(Key));
    if (path.size() < 2)
        return false;
    TRegStore store = Load();
    const auto before = store.size();
    std::erase_if(store, [&path](const TRegKey& key) { return StartsWith(key.Path, path); });
    if (store.size() == before)
        return false;
    Save(store);
    return true;
}

void TRegistry::GetKeyNames(TStrings* Strings)
{
    Strings->BeginUpdate();
    Strings->Clear();
    if (keyOpen_) {
        const TPath path = FullPath(RootName(), currentPath_);
        TStringList seen;
        for (const TRegKey& key : Load()) {
            if (key.Path.size() > path.size() && StartsWith(key.Path, path) &&
                seen.IndexOf(key.Path[path.size()]) < 0) {
                seen.Add(key.Path[path.size()]);
                Strings->Add(key.Path[path.size()]);
            }
        }
    }
    Strings->EndUpdate();
}

void TRegistry::GetValueNames(TStrings* Strings)
{
    Strings->BeginUpdate();
    Strings->Clear();
    if (keyOpen_) {
        TRegStore store = Load();
        if (TRegKey* key = FindKey(store, FullPath(RootName(), currentPath_))) {
            for (const TRegValue& value : key->Values)
                Strings->Add(value.Name);
        }
    }
    Strings->EndUpdate();
}

bool TRegistry::ValueExists(const std::string& Name)
{
    if (!keyOpen_)
        return false;
    TRegStore store = Load();
    return FindValue(FindKey(store, FullPath(RootName(), currentPath_)), Name) != nullptr;
}

bool TRegistry::DeleteValue(const std::string& Name)
{
    if (!keyOpen_ || !keyWritable_)
        return false;
    TRegStore store = Load();
    TRegKey* key = FindKey(store, FullPath(RootName(), currentPath_));
    TRegValue* value = FindValue(key, Name);
    if (value == nullptr)
        return false;
    key->Values.erase(key->Values.begin() + (value - key->Values.data()));
    Save(store);
    return true;
}

std::string TRegistry::ReadString(const std::string& Name)
{
    if (!keyOpen_)
        return {};
    TRegStore store = Load();
    bool found = false;
    return ReadValue(store, FullPath(RootName(), currentPath_), Name, 's', found);
}

Integer TRegistry::ReadInteger(const std::string& Name)
{
    bool found = false;
    std::string data;
    if (keyOpen_) {
        TRegStore store = Load();
        data = ReadValue(store, FullPath(RootName(), currentPath_), Name, 'i', found);
    }
    if (!found)
        throw ERegistryException("Failed to get data for '" + Name + "'");
    return StrToInt(data);
}

bool TRegistry::ReadBool(const std::string& Name)
{
    return ReadInteger(Name) != 0;
}

void TRegistry::CheckWritable(const std::string& Name) const
{
    if (!keyOpen_ || !keyWritable_)
        throw ERegistryException("Failed to set data for '" + Name + "'");
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value)
{
    CheckWritable(Name);
    StoreValue(FullPath(RootName(), currentPath_), TRegValue{Name, 's', Value});
}

void TRegistry::WriteInteger(const std::string& Name, Integer Value)
{
    CheckWritable(Name);
    StoreValue(FullPath(RootName(), currentPath_), TRegValue{Name, 'i', IntToStr(Value)});
}

void TRegistry::WriteBool(const std::string& Name, bool Value)
{
    WriteInteger(Name, Value ? 1 : 0);
}
