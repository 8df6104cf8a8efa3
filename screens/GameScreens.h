// GameScreens.h: puts the screens of this area in place where the shell and the table reach
// them: the screen factory's makers (the main menu, the exit question, the story map, the classic
// selection and the trophy room) and the table's dialog makers (the questions, the no-moves and
// use-bonus windows, the results of a won game; until the in-game menus exist, the game's menu
// leads back to the screen the game came from). The program calls it once before start-up; tests
// that run screens call it too.
#pragma once

void RegisterGameScreens();
void RegisterGameDialogs();  // the table's dialog makers alone
