// GameScreens.h: puts the screens of this area in place where the shell and the table reach
// them: the screen factory's makers (the main menu, the exit question, and stand-ins that lead
// back to the menu for the screens not built yet) and the table's dialog makers. The program
// calls it once before start-up; tests that run screens call it too.
#pragma once

void RegisterGameScreens();
