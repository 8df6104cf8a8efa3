// main.cpp: the program's entry point. It puts the game's screens where the shell and the table
// reach them, then start-up, loop and teardown run in GameMain.
#include "app/GameMain.h"
#include "screens/GameScreens.h"

int main(int argc, char** argv)
{
    RegisterGameScreens();
    return GameMain(argc, argv);
}
