#include "Resources.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/auxv.h>

#include <list>
#include <mutex>
#include <string>

namespace {

// A resource name or type: an integer (below 65536) or a string.
struct ResourceKey {
    bool isInteger = true;
    WORD number = 0;
    std::u16string text;
};

ResourceKey MakeKey(LPCWSTR value)
{
    ResourceKey key;
    if (IS_INTRESOURCE(value)) {
        key.number = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(value));
        return key;
    }
    key.isInteger = false;
    for (const WCHAR* c = value; *c; ++c) key.text.push_back(*c >= u'a' && *c <= u'z' ? *c - (u'a' - u'A') : *c);
    return key;
}

bool SameKey(const ResourceKey& a, const ResourceKey& b)
{
    return a.isInteger == b.isInteger && (a.isInteger ? a.number == b.number : a.text == b.text);
}

struct Resource {
    HMODULE module;
    ResourceKey name;
    ResourceKey type;
    const void* data;
    DWORD size;
};

// Entries never move (a list), so an HRSRC stays valid while its module is loaded.
struct ResourceTable {
    std::mutex lock;
    std::list<Resource> resources;
};

ResourceTable& Table()
{
    static auto* table = new ResourceTable();
    return *table;
}

bool IsRegistered(const Resource* wanted)
{
    for (const Resource& resource : Table().resources)
        if (&resource == wanted) return true;
    return false;
}

// A module is named by the address its file is mapped at, like an instance handle on Windows.
HMODULE ModuleOfAddress(const void* address)
{
    Dl_info info;
    if (!address || !dladdr(address, &info) || !info.dli_fbase) return nullptr;
    return static_cast<HMODULE>(info.dli_fbase);
}

}  // namespace

HMODULE GetModuleHandleW(LPCWSTR moduleName)
{
    if (!moduleName) return ModuleOfAddress(reinterpret_cast<const void*>(getauxval(AT_ENTRY)));
    std::string wanted;
    for (const WCHAR* c = moduleName; *c; ++c) wanted.push_back(*c < 0x80 ? static_cast<char>(*c) : '?');
    struct Search {
        const std::string* wanted;
        HMODULE found;
    } search{&wanted, nullptr};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) -> int {
            auto* s = static_cast<Search*>(data);
            std::string path = info->dlpi_name ? info->dlpi_name : "";
            if (path.size() < s->wanted->size() || path.compare(path.size() - s->wanted->size(), std::string::npos,
                                                                 *s->wanted) != 0)
                return 0;
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& header = info->dlpi_phdr[i];
                if (header.p_type == PT_LOAD) {
                    s->found = ModuleOfAddress(reinterpret_cast<const void*>(info->dlpi_addr + header.p_vaddr));
                    return 1;
                }
            }
            return 0;
        },
        &search);
    return search.found;
}

BOOL GetModuleHandleExW(DWORD flags, LPCWSTR moduleName, HMODULE* phModule)
{
    if (!phModule) return FALSE;
    *phModule = (flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) ? ModuleOfAddress(moduleName)
                                                                 : GetModuleHandleW(moduleName);
    return *phModule ? TRUE : FALSE;
}

HRSRC FindResourceW(HMODULE hModule, LPCWSTR name, LPCWSTR type)
{
    if (!hModule || !name || !type) return nullptr;
    ResourceKey nameKey = MakeKey(name), typeKey = MakeKey(type);
    std::lock_guard<std::mutex> guard(Table().lock);
    for (Resource& resource : Table().resources)
        if (resource.module == hModule && SameKey(resource.name, nameKey) && SameKey(resource.type, typeKey))
            return reinterpret_cast<HRSRC>(&resource);
    return nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC hResInfo)
{
    std::lock_guard<std::mutex> guard(Table().lock);
    auto* resource = reinterpret_cast<const Resource*>(hResInfo);
    return IsRegistered(resource) ? resource->size : 0;
}

HGLOBAL LoadResource(HMODULE, HRSRC hResInfo)
{
    std::lock_guard<std::mutex> guard(Table().lock);
    auto* resource = reinterpret_cast<const Resource*>(hResInfo);
    return IsRegistered(resource) ? const_cast<void*>(resource->data) : nullptr;
}

// Resource memory needs no locking: the handle is the address, as on Windows.
LPVOID LockResource(HGLOBAL hResData) { return hResData; }

BOOL RegisterModuleResource(HMODULE hModule, LPCWSTR name, LPCWSTR type, const void* data, DWORD size)
{
    if (!hModule || !name || !type || (!data && size)) return FALSE;
    std::lock_guard<std::mutex> guard(Table().lock);
    Table().resources.push_back(Resource{hModule, MakeKey(name), MakeKey(type), data, size});
    return TRUE;
}

void UnregisterModuleResource(HMODULE hModule, LPCWSTR name, LPCWSTR type)
{
    ResourceKey nameKey = MakeKey(name), typeKey = MakeKey(type);
    std::lock_guard<std::mutex> guard(Table().lock);
    Table().resources.remove_if([&](const Resource& resource) {
        return resource.module == hModule && SameKey(resource.name, nameKey) && SameKey(resource.type, typeKey);
    });
}
