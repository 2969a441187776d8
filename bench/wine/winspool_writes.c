/* The reference for the Wine comparison: WRITES writes of 64 bytes in one raw document,
 * straight through winspool, as a program that needs no control would print. Prints the
 * seconds from opening the printer to closing it.
 *
 *   winspool_writes.exe PRINTER WRITES
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: winspool_writes PRINTER WRITES\n");
        return 2;
    }
    const int writes = atoi(argv[2]);
    char text[64];
    memset(text, 'x', sizeof text);
    DOC_INFO_1A docInfo = {"winspool writes", NULL, "RAW"};
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);

    QueryPerformanceCounter(&start);
    HANDLE printer = NULL;
    if (!OpenPrinterA(argv[1], &printer, NULL) || !StartDocPrinterA(printer, 1, (LPBYTE)&docInfo) ||
        !StartPagePrinter(printer)) {
        fprintf(stderr, "cannot start a document on %s: error %lu\n", argv[1], GetLastError());
        return 1;
    }
    for (int i = 0; i < writes; ++i) {
        DWORD written = 0;
        if (!WritePrinter(printer, text, sizeof text, &written) || written != sizeof text) {
            fprintf(stderr, "write %d failed: error %lu\n", i, GetLastError());
            return 1;
        }
    }
    EndPagePrinter(printer);
    EndDocPrinter(printer);
    ClosePrinter(printer);
    QueryPerformanceCounter(&end);

    printf("%.6f\n", (double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart);
    return 0;
}
