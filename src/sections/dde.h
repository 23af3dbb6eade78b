// The DDE client conversation with the shell (service and topic "PROGMAN") through which
// Program Manager groups and items are made. One conversation at a time, opened and
// closed around each piece of work.
#pragma once

inline constexpr int DDE_TIMEOUT_MS = 30000;

// Starts a client instance and connects to "PROGMAN"; a failed start is fatal (-1502),
// no shell answering is fatal (-1503). Returns 0. A conversation still open is closed first.
int DDE_Connect();
// Sends command (with its terminating zero) as one execute transaction. The shell's
// verdict is not reported: returns 0.
int DDE_Execute(const char* command);
// Asks for item as text; copies at most size - 1 bytes of the answer into buffer and ends
// it with a zero. Without an answer the buffer is left as it was. Returns 0.
int DDE_Request(const char* item, char* buffer, int size);
// Disconnects if connected, frees the string handles and ends the instance. Returns 0.
int DDE_Disconnect();
