/* A Windows stand-in for a Linux command-line tool, for the suites that run
 * under Wine. Wine lets a Windows program start a Linux one, but passes back
 * neither its output nor its exit code; so this program, built under the
 * tool's name (pdftotext.exe, pdfinfo.exe), runs the Linux tool of its own
 * name through /bin/sh with its output, errors and exit code going to
 * temporary files, waits for it, and passes all three on. Arguments that are Windows paths
 * become the Linux paths Wine maps them to. Only for tests; never shipped. */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef char *(CDECL *UnixFileName)(LPCWSTR);
typedef NTSTATUS(WINAPI *UnixSpawn)(char *const argv[], int wait);

static char *utf8(const wchar_t *w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, NULL, 0, NULL, NULL);
    char *s = malloc(n);
    WideCharToMultiByte(CP_UTF8, 0, w, -1, s, n, NULL, NULL);
    return s;
}

static int looksLikePath(const wchar_t *a)
{
    return wcschr(a, L'\\') || (wcslen(a) > 1 && a[1] == L':');
}

static char *unixPath(UnixFileName toUnix, const wchar_t *path)
{
    char *p = toUnix(path);
    if (!p) {
        fprintf(stderr, "unixtool: no Linux path for a Windows path\n");
        exit(125);
    }
    return p;
}

/* Copies a file's bytes to a standard handle; returns 0 when it is missing. */
static int pass(const wchar_t *winFile, DWORD handle)
{
    HANDLE in = CreateFileW(winFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (in == INVALID_HANDLE_VALUE)
        return 0;
    char buf[65536];
    DWORD got, put;
    HANDLE out = GetStdHandle(handle);
    while (ReadFile(in, buf, sizeof buf, &got, NULL) && got > 0)
        WriteFile(out, buf, got, &put, NULL);
    CloseHandle(in);
    return 1;
}

int main(void)
{
    HMODULE k32 = GetModuleHandleW(L"kernel32.dll"), nt = GetModuleHandleW(L"ntdll.dll");
    UnixFileName toUnix = (UnixFileName)(void (*)(void))GetProcAddress(k32, "wine_get_unix_file_name");
    UnixSpawn spawn = (UnixSpawn)(void (*)(void))GetProcAddress(nt, "__wine_unix_spawnvp");
    if (!toUnix || !spawn) {
        fprintf(stderr, "unixtool: runs only under Wine\n");
        return 125;
    }

    /* The tool is this program's own name without ".exe". */
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(NULL, self, MAX_PATH);
    wchar_t *name = wcsrchr(self, L'\\') ? wcsrchr(self, L'\\') + 1 : self;
    wchar_t *dot = wcsrchr(name, L'.');
    if (dot)
        *dot = 0;

    wchar_t temp[MAX_PATH], base[MAX_PATH], outW[MAX_PATH], errW[MAX_PATH], rcW[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    swprintf(base, MAX_PATH, L"%lsunixtool-%lu", temp, GetCurrentProcessId());
    swprintf(outW, MAX_PATH, L"%ls.out", base);
    swprintf(errW, MAX_PATH, L"%ls.err", base);
    swprintf(rcW, MAX_PATH, L"%ls.rc", base);
    char *out = unixPath(toUnix, outW), *err = unixPath(toUnix, errW), *rc = unixPath(toUnix, rcW);

    int argc = 0;
    wchar_t **argvW = CommandLineToArgvW(GetCommandLineW(), &argc);
    char **argv = calloc(argc + 8, sizeof *argv);
    int n = 0;
    argv[n++] = "/bin/sh";
    argv[n++] = "-c";
    argv[n++] = "out=$1 err=$2 rc=$3; shift 3; \"$@\" >\"$out\" 2>\"$err\"; echo $? >\"$rc\"";
    argv[n++] = "unixtool";
    argv[n++] = out;
    argv[n++] = err;
    argv[n++] = rc;
    argv[n++] = utf8(name);
    for (int i = 1; i < argc; ++i)
        argv[n++] = looksLikePath(argvW[i]) ? unixPath(toUnix, argvW[i]) : utf8(argvW[i]);
    argv[n] = NULL;

    spawn(argv, 1);

    pass(outW, STD_OUTPUT_HANDLE);
    pass(errW, STD_ERROR_HANDLE);
    int code = 125;
    FILE *f = _wfopen(rcW, L"r");
    if (f) {
        if (fscanf(f, "%d", &code) != 1)
            code = 125;
        fclose(f);
    }
    DeleteFileW(outW);
    DeleteFileW(errW);
    DeleteFileW(rcW);
    return code;
}
