/* Prints, for the code pages of the locale it runs under, what Windows does to each of the
 * 256 ANSI bytes: CharToOemBuffA, CharUpperBuffA and the Unicode character of the byte in
 * the ANSI and in the OEM page. scripts/codepage/generate runs it under Wine and turns the
 * output into the POSIX tables.
 *
 * Each table is taken twice, byte by byte and as one 256-byte buffer (NUL included). The
 * POSIX side translates with a plain per-byte lookup, which is only right if both agree:
 * a difference is reported and the program fails. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

enum { kBytes = 256 };

static void PrintBytes(const char* name, const unsigned char* bytes)
{
    printf("%s", name);
    for (int i = 0; i < kBytes; ++i)
        printf(" %02x", bytes[i]);
    printf("\n");
}

static void PrintCharacters(const char* name, const WCHAR* characters)
{
    printf("%s", name);
    for (int i = 0; i < kBytes; ++i)
        printf(" %04x", (unsigned)characters[i]);
    printf("\n");
}

static int Disagree(const char* name, const unsigned char* whole, const unsigned char* single)
{
    if (memcmp(whole, single, kBytes) == 0)
        return 0;
    for (int i = 0; i < kBytes; ++i)
        if (whole[i] != single[i])
            fprintf(stderr, "%s: byte %02x gives %02x in a buffer but %02x alone\n", name, i, whole[i],
                    single[i]);
    return 1;
}

static int ToOem(const unsigned char* all)
{
    unsigned char whole[kBytes], single[kBytes];
    CharToOemBuffA((LPCSTR)all, (LPSTR)whole, kBytes);
    for (int i = 0; i < kBytes; ++i)
        CharToOemBuffA((LPCSTR)&all[i], (LPSTR)&single[i], 1);
    PrintBytes("oem", whole);
    return Disagree("CharToOemBuffA", whole, single);
}

static int Upper(const unsigned char* all)
{
    unsigned char whole[kBytes], single[kBytes];
    memcpy(whole, all, kBytes);
    memcpy(single, all, kBytes);
    CharUpperBuffA((LPSTR)whole, kBytes);
    for (int i = 0; i < kBytes; ++i)
        CharUpperBuffA((LPSTR)&single[i], 1);
    PrintBytes("upper", whole);
    return Disagree("CharUpperBuffA", whole, single);
}

static int Characters(const char* name, UINT codePage, const unsigned char* all)
{
    WCHAR characters[kBytes];
    if (MultiByteToWideChar(codePage, 0, (LPCSTR)all, kBytes, characters, kBytes) != kBytes) {
        fprintf(stderr, "%s: MultiByteToWideChar failed (%lu)\n", name, GetLastError());
        return 1;
    }
    PrintCharacters(name, characters);
    return 0;
}

int main(void)
{
    unsigned char all[kBytes];
    for (int i = 0; i < kBytes; ++i)
        all[i] = (unsigned char)i;

    printf("acp %u\noemcp %u\n", GetACP(), GetOEMCP());
    int failures = ToOem(all) + Upper(all);
    failures += Characters("ansi-unicode", CP_ACP, all) + Characters("oem-unicode", CP_OEMCP, all);
    return failures == 0 ? 0 : 1;
}
