// main.cpp: the program's entry point; start-up, loop and teardown live in GameMain.
#include "app/GameMain.h"

int main(int argc, char** argv)
{
    return GameMain(argc, argv);
}
