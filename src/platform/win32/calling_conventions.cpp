// The entry points that the shell fetches with GetProcAddress, held at compile time
// against the signatures Windows gives them, calling convention included: an entry
// called with the wrong convention unbalances the stack on 32-bit Windows (the saver
// would crash as the password dialog or the input-method call returns). The x64 build
// compiles this file a second time for the 32-bit target, syntax only
// (CMakeLists.txt), since on x64 both conventions are one and the same type.
//
// The seam spells handles as void* and 32-bit numbers as std::uint32_t; SeamSpelling
// turns a Windows function type into that spelling, keeping its convention, so that
// each check below compares the whole type.
#include <windows.h>

#include <imm.h>

#include <cstdint>
#include <type_traits>

#include "platform/library_entries.h"

namespace {

template <typename T>
struct SeamSpelling {
    using type = T;
};
template <>
struct SeamSpelling<HWND> {
    using type = WindowHandle;
};
template <>
struct SeamSpelling<HIMC> {
    using type = void*;
};
template <>
struct SeamSpelling<DWORD> {
    using type = std::uint32_t;
};
template <typename Result, typename... Parameters>
struct SeamSpelling<Result(WINAPI*)(Parameters...)> {
    using type = typename SeamSpelling<Result>::type(WINAPI*)(typename SeamSpelling<Parameters>::type...);
};
template <typename T>
using SeamSpellingOf = typename SeamSpelling<T>::type;

static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
static_assert(std::is_same_v<BOOL, std::int32_t>);
static_assert(std::is_same_v<LPCSTR, const char*>);
static_assert(std::is_same_v<LPVOID, void*>);

// imm.h declares ImmAssociateContext; the program fetches it by name rather than link
// IMM32.DLL, which not every system loads.
static_assert(std::is_same_v<decltype(&ImmAssociateContext), HIMC(WINAPI*)(HWND, HIMC)>);
static_assert(std::is_same_v<ImmAssociateContextFn, SeamSpellingOf<decltype(&ImmAssociateContext)>>,
              "ImmAssociateContextFn must be HIMC WINAPI ImmAssociateContext(HWND, HIMC)");

// No header declares the two password entries of the Windows 95 family; these are the
// signatures their libraries export.
using VerifyScreenSavePwdType = BOOL(WINAPI*)(HWND);
using PwdChangePasswordAType = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
static_assert(std::is_same_v<VerifyPasswordFn, SeamSpellingOf<VerifyScreenSavePwdType>>,
              "VerifyPasswordFn must be BOOL WINAPI VerifyScreenSavePwd(HWND)");
static_assert(std::is_same_v<ChangePasswordFn, SeamSpellingOf<PwdChangePasswordAType>>,
              "ChangePasswordFn must be DWORD WINAPI PwdChangePasswordA(LPCSTR, HWND, DWORD, LPVOID)");

}  // namespace
