// The thread's message queue emptied the way a message loop would empty it.
#pragma once

// Translates and dispatches every message waiting for this thread.
void PumpMessages();
