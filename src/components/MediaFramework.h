#pragma once

// Initialises the media framework once for the process; later calls do nothing.
void InitialiseMediaFramework();
