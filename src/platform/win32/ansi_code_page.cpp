#include "platform/win32/ansi_code_page.h"

#include <windows.h>

CodePage SystemAnsiCodePage() {
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info)) return CodePage();
    LeadByteRange ranges[MAX_LEADBYTES / 2];
    for (std::size_t i = 0; i < MAX_LEADBYTES / 2; ++i) ranges[i] = {info.LeadByte[2 * i], info.LeadByte[2 * i + 1]};
    return CodePage(GetACP(), ranges, MAX_LEADBYTES / 2);
}
