#include "launcher/Launcher.h"

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int)
{
    return kanne::launch(module);
}
