#pragma once
// The three list screens, registered for the navigation buttons of the main
// menu and the entry screen.

namespace lists {

void RegisterListScreens();

}  // namespace lists
