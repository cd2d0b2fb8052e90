// The import table of a copy of Orvel.scr rewritten so that its wide-character calls
// fail. The program calls each import through its slot in the import address table,
// which the loader fills descriptor by descriptor, in order. A section added at the end
// holds the import descriptors again, followed by one more descriptor for each wide call:
// it names the stub library and the stand-in, and its address table is that one slot,
// so the loader fills the slot twice, with the stand-in last. The code and the original
// descriptors stay as they were.
#include "wide_imports.h"

#include <windows.h>

#include <cctype>
#include <cstring>

#include "harness.h"

namespace {

constexpr char SECTION_NAME[IMAGE_SIZEOF_SHORT_NAME] = {'.', 'o', 'w', 'i', 'd', 'e'};

DWORD alignUp(DWORD value, DWORD alignment) { return (value + alignment - 1) / alignment * alignment; }

// The program's bytes and the way from an address in its image to its place in the file.
struct Image {
    std::string bytes;
    std::size_t headers = 0;   // the NT headers' offset
    std::size_t sections = 0;  // the section table's offset
    int sectionCount = 0;

    template <typename T>
    T* at(std::size_t offset) {
        if (offset + sizeof(T) > bytes.size()) fail("the program ends inside its headers or tables");
        return reinterpret_cast<T*>(bytes.data() + offset);
    }
    IMAGE_SECTION_HEADER* section(int index) {
        return at<IMAGE_SECTION_HEADER>(sections + std::size_t(index) * sizeof(IMAGE_SECTION_HEADER));
    }
    std::size_t offsetOf(DWORD rva) {
        for (int i = 0; i < sectionCount; ++i) {
            const IMAGE_SECTION_HEADER* s = section(i);
            const DWORD size = s->Misc.VirtualSize > s->SizeOfRawData ? s->Misc.VirtualSize : s->SizeOfRawData;
            if (rva >= s->VirtualAddress && rva - s->VirtualAddress < size) {
                if (rva - s->VirtualAddress >= s->SizeOfRawData) fail("the import table lies outside the file");
                return s->PointerToRawData + (rva - s->VirtualAddress);
            }
        }
        fail("no section holds address 0x%lx", rva);
    }
    std::string text(DWORD rva) {
        const std::size_t offset = offsetOf(rva);
        const std::size_t end = bytes.find('\0', offset);
        if (end == std::string::npos) fail("a name in the import table runs off the file");
        return bytes.substr(offset, end - offset);
    }
};

bool isWideCall(const std::string& name) {
    const std::size_t n = name.size();
    return n >= 2 && name[n - 1] == 'W' &&
           (std::islower(static_cast<unsigned char>(name[n - 2])) ||
            std::isdigit(static_cast<unsigned char>(name[n - 2])));
}

struct WideImport {
    std::string name;
    DWORD slot;  // its place in the import address table
};

// Thunk: the width of a table entry, DWORD in a 32-bit program, ULONGLONG in a 64-bit one.
template <typename Thunk, typename OptionalHeader>
std::vector<std::string> redirect(Image& image, OptionalHeader& optional, const std::string& library) {
    constexpr Thunk BY_ORDINAL = Thunk(1) << (sizeof(Thunk) * 8 - 1);
    IMAGE_DATA_DIRECTORY& imports = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return {};

    std::vector<IMAGE_IMPORT_DESCRIPTOR> descriptors;
    std::vector<WideImport> wide;
    for (std::size_t offset = image.offsetOf(imports.VirtualAddress);; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const IMAGE_IMPORT_DESCRIPTOR descriptor = *image.at<IMAGE_IMPORT_DESCRIPTOR>(offset);
        if (descriptor.Name == 0) break;
        descriptors.push_back(descriptor);
        const DWORD names = descriptor.OriginalFirstThunk != 0 ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
        for (DWORD index = 0;; ++index) {
            const Thunk entry = *image.at<Thunk>(image.offsetOf(names + index * DWORD(sizeof(Thunk))));
            if (entry == 0) break;
            if (entry & BY_ORDINAL) continue;
            const std::string name = image.text(DWORD(entry) + 2);  // after the hint
            if (isWideCall(name)) wide.push_back({name, descriptor.FirstThunk + index * DWORD(sizeof(Thunk))});
        }
    }
    if (wide.empty()) return {};

    // The library must have a stand-in for each, or the loader would refuse the program.
    // Looked up without running the library, which would start its log.
    HMODULE stubs = LoadLibraryExA((driverFolder() + library).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (stubs == nullptr) fail("cannot load %s%s", driverFolder().c_str(), library.c_str());
    for (const WideImport& call : wide) {
        if (GetProcAddress(stubs, ("failing" + call.name).c_str()) == nullptr)
            fail("the program imports %s, for which %s has no stand-in: add one", call.name.c_str(), library.c_str());
    }
    FreeLibrary(stubs);

    // The new section: the descriptors (the old ones, one per wide call, the closing
    // empty one), then for each wide call its two-entry name table and its hint and name,
    // then the library's name.
    DWORD end = 0;
    for (int i = 0; i < image.sectionCount; ++i) {
        const IMAGE_SECTION_HEADER* s = image.section(i);
        if (s->VirtualAddress + s->Misc.VirtualSize > end) end = s->VirtualAddress + s->Misc.VirtualSize;
    }
    const DWORD base = alignUp(end, optional.SectionAlignment);
    std::string content((descriptors.size() + wide.size() + 1) * sizeof(IMAGE_IMPORT_DESCRIPTOR), '\0');
    auto append = [&](const void* data, std::size_t size, std::size_t alignment) {
        content.resize(alignUp(DWORD(content.size()), DWORD(alignment)), '\0');
        const DWORD rva = base + DWORD(content.size());
        content.append(static_cast<const char*>(data), size);
        return rva;
    };
    std::vector<DWORD> nameTables;
    for (const WideImport& call : wide) {
        const std::string hintAndName = std::string(2, '\0') + "failing" + call.name + '\0';
        const Thunk table[2] = {append(hintAndName.data(), hintAndName.size(), 2), 0};
        nameTables.push_back(append(table, sizeof table, sizeof(Thunk)));
    }
    const DWORD libraryName = append(library.c_str(), library.size() + 1, 2);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        IMAGE_IMPORT_DESCRIPTOR descriptor{};
        descriptor.OriginalFirstThunk = nameTables[i];
        descriptor.Name = libraryName;
        descriptor.FirstThunk = wide[i].slot;
        descriptors.push_back(descriptor);
    }
    std::memcpy(content.data(), descriptors.data(), descriptors.size() * sizeof(IMAGE_IMPORT_DESCRIPTOR));

    // Its header after the last one, in the room the headers leave.
    const std::size_t header = image.sections + std::size_t(image.sectionCount) * sizeof(IMAGE_SECTION_HEADER);
    if (header + sizeof(IMAGE_SECTION_HEADER) > optional.SizeOfHeaders) fail("no room for another section header");
    IMAGE_SECTION_HEADER added{};
    std::memcpy(added.Name, SECTION_NAME, sizeof added.Name);
    added.Misc.VirtualSize = DWORD(content.size());
    added.VirtualAddress = base;
    added.SizeOfRawData = alignUp(DWORD(content.size()), optional.FileAlignment);
    added.PointerToRawData = alignUp(DWORD(image.bytes.size()), optional.FileAlignment);
    added.Characteristics = IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_READ | IMAGE_SCN_MEM_WRITE;
    std::memcpy(image.bytes.data() + header, &added, sizeof added);

    imports.VirtualAddress = base;
    imports.Size = DWORD(descriptors.size() * sizeof(IMAGE_IMPORT_DESCRIPTOR));
    optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_BOUND_IMPORT] = {};
    optional.SizeOfImage = alignUp(base + added.Misc.VirtualSize, optional.SectionAlignment);
    ++image.at<IMAGE_NT_HEADERS32>(image.headers)->FileHeader.NumberOfSections;
    content.resize(added.SizeOfRawData, '\0');
    image.bytes.resize(added.PointerToRawData, '\0');
    image.bytes += content;

    std::vector<std::string> names;
    for (const WideImport& call : wide) names.push_back(call.name);
    return names;
}

}  // namespace

std::vector<std::string> failWideImports(const std::string& path, const std::string& library) {
    Image image;
    image.bytes = readFileBytes(path).value_or("");
    if (image.bytes.size() < 0x40 || image.bytes.compare(0, 2, "MZ") != 0)
        fail("%s is no Windows program", path.c_str());
    image.headers = *image.at<DWORD>(0x3C);
    if (image.bytes.compare(image.headers, 4, std::string("PE\0\0", 4)) != 0) fail("%s is no PE program", path.c_str());
    IMAGE_FILE_HEADER& file = image.at<IMAGE_NT_HEADERS32>(image.headers)->FileHeader;
    const std::size_t optional = image.headers + offsetof(IMAGE_NT_HEADERS32, OptionalHeader);
    image.sections = optional + file.SizeOfOptionalHeader;
    image.sectionCount = file.NumberOfSections;

    std::vector<std::string> names;
    switch (*image.at<WORD>(optional)) {
        case IMAGE_NT_OPTIONAL_HDR32_MAGIC:
            names = redirect<DWORD>(image, *image.at<IMAGE_OPTIONAL_HEADER32>(optional), library);
            break;
        case IMAGE_NT_OPTIONAL_HDR64_MAGIC:
            names = redirect<ULONGLONG>(image, *image.at<IMAGE_OPTIONAL_HEADER64>(optional), library);
            break;
        default:
            fail("%s has an optional header of neither kind", path.c_str());
    }
    if (!names.empty()) writeFileBytes(path, image.bytes);
    return names;
}
