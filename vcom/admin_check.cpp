#include "admin_check.h"

#include "unique_handle.h"

#include <windows.h>

namespace clser::vcom {
namespace {

void freeSid(PSID sid) noexcept { ::FreeSid(sid); }
using UniqueSid = UniqueAny<NullIsNone<PSID, freeSid>>;

constexpr DWORD kAccessRead = 1;
constexpr DWORD kAccessWrite = 2;
constexpr DWORD kAccessAll = kAccessRead | kAccessWrite;
constexpr DWORD kPrivilegeSetSize = 20;

UniqueHandle openCallerToken()
{
    UniqueHandle token;
    if (OpenThreadToken(GetCurrentThread(), TOKEN_DUPLICATE | TOKEN_QUERY, TRUE, token.put()))
        return token;
    if (GetLastError() != ERROR_NO_TOKEN)
        return {};
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, token.put()))
        return {};
    return token;
}

} // namespace

bool isUserAdmin()
{
    UniqueHandle token = openCallerToken();
    if (!token)
        return false;
    UniqueHandle impersonation;
    if (!DuplicateToken(token.get(), SecurityImpersonation, impersonation.put()))
        return false;

    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    UniqueSid admins;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                  0, 0, admins.put()))
        return false;

    UniqueLocal descriptorMemory(LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH));
    if (!descriptorMemory)
        return false;
    const auto descriptor = static_cast<PSECURITY_DESCRIPTOR>(descriptorMemory.get());
    if (!InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION))
        return false;

    const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(admins.get());
    UniqueLocal aclMemory(LocalAlloc(LPTR, aclSize));
    if (!aclMemory)
        return false;
    const auto acl = static_cast<PACL>(aclMemory.get());
    if (!InitializeAcl(acl, aclSize, ACL_REVISION2) ||
        !AddAccessAllowedAce(acl, ACL_REVISION2, kAccessAll, admins.get()) ||
        !SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE) ||
        !SetSecurityDescriptorGroup(descriptor, admins.get(), FALSE) ||
        !SetSecurityDescriptorOwner(descriptor, admins.get(), FALSE) || !IsValidSecurityDescriptor(descriptor))
        return false;

    GENERIC_MAPPING mapping{kAccessRead, kAccessWrite, 0, kAccessAll};
    alignas(PRIVILEGE_SET) BYTE privileges[kPrivilegeSetSize] = {};
    DWORD privilegesSize = kPrivilegeSetSize;
    DWORD granted = 0;
    BOOL status = FALSE;
    if (!AccessCheck(descriptor, impersonation.get(), kAccessRead, &mapping,
                     reinterpret_cast<PPRIVILEGE_SET>(privileges), &privilegesSize, &granted, &status))
        return false;
    return status == TRUE;
}

} // namespace clser::vcom
