#pragma once

// Initialises the media framework once for the process; later calls do nothing.
// Any thread may call it; a call made while another runs waits for it.
void InitialiseMediaFramework();
