#include "asf_file_rewrite.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const uint64_t kMaxHeaderBytes = 64u << 20;

struct File {
    FILE* f = nullptr;
    explicit File(FILE* file) : f(file) {}
    ~File() { if (f) fclose(f); }
};

uint64_t Le64(const uint8_t* p)
{
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

}  // namespace

bool ReadAsfHeaderBytes(const std::string& path, std::vector<uint8_t>& bytes)
{
    File in(fopen(path.c_str(), "rb"));
    if (!in.f) return false;
    uint8_t fixed[30];
    if (fread(fixed, 1, sizeof fixed, in.f) != sizeof fixed) return false;
    uint64_t size = Le64(fixed + 16);
    if (size < sizeof fixed || size > kMaxHeaderBytes) return false;
    bytes.assign(fixed, fixed + sizeof fixed);
    bytes.resize(static_cast<size_t>(size));
    size_t rest = bytes.size() - sizeof fixed;
    return fread(bytes.data() + sizeof fixed, 1, rest, in.f) == rest;
}

bool RewriteAsfAttributes(const std::string& path, const std::vector<AsfAttribute>& attributes)
{
    std::vector<uint8_t> oldHeader, newHeader;
    if (!ReadAsfHeaderBytes(path, oldHeader)) return false;
    if (!RebuildAsfHeader(oldHeader.data(), oldHeader.size(), attributes, newHeader)) return false;

    std::string temp = path + ".kvtmp";
    bool ok = false;
    {
        File in(fopen(path.c_str(), "rb"));
        File out(in.f ? fopen(temp.c_str(), "wb") : nullptr);
        if (!out.f) return false;
        ok = fseek(in.f, static_cast<long>(oldHeader.size()), SEEK_SET) == 0 &&
             fwrite(newHeader.data(), 1, newHeader.size(), out.f) == newHeader.size();
        std::vector<char> buffer(1 << 16);
        while (ok) {
            size_t got = fread(buffer.data(), 1, buffer.size(), in.f);
            if (got && fwrite(buffer.data(), 1, got, out.f) != got) ok = false;
            if (got < buffer.size()) {
                if (ferror(in.f)) ok = false;
                break;
            }
        }
        ok = ok && fflush(out.f) == 0 && fsync(fileno(out.f)) == 0;
        struct stat st;
        if (ok && stat(path.c_str(), &st) == 0) fchmod(fileno(out.f), st.st_mode & 07777);
        if (fclose(out.f) != 0) ok = false;
        out.f = nullptr;
    }
    if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) remove(temp.c_str());
    return ok;
}
