#pragma once
// The system's ANSI code page with its lead bytes, as GetACP and GetCPInfo report them: what
// every part of the Windows platform needs to tell a backslash from a character's second byte.

#include "text/code_page.h"

CodePage SystemAnsiCodePage();
