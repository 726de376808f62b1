#pragma once

// Makes every window class of the program known to the runtime by its name, so that a
// window can be opened by a class name held in a string.
void registerClasses();
