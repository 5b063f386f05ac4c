// Start-up of the system libraries the program needs: Windows sockets and OLE.
#pragma once

// WSAStartup for version 2.2; the matching cleanup runs at process exit. False on failure.
bool AfxSocketInit();

// OleInitialize on the calling thread; OleUninitialize runs at process exit. False on failure.
bool AfxOleInit();
