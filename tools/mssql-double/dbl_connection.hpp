#pragma once
// dbl_connection.hpp - one client connection: TDS packets in and out, PRELOGIN, LOGIN7,
// then SQL batches, attention and bulk-load messages until the client leaves.

class dbl_server;

// Serves the connected socket until the client goes away or a fault drops it; closes it.
void dbl_serve_connection(dbl_server& server, int socket_fd);
