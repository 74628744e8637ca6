/* Stands in for the course player in tests: a 32-bit Windows program named
   pupilapp.exe that stays running until the test ends it. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    for (;;)
        Sleep(INFINITE);
}
