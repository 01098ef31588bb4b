// HTTPS through the toolkit's GnuTLS layer. The toolkit's own layer checks no
// certificate, so the helper wraps its session set-up: every session gets our
// credentials (the system's trust store, plus an optional CA file), the
// server's name for SNI, and GnuTLS's verification of the certificate chain
// against that name, which fails the handshake when the certificate does not
// verify.
#pragma once
#include <string>

// Installs the wrapped TLS layer once per process. `caFile` (PEM) is trusted
// in addition to the system's store. False when GnuTLS cannot be set up or
// the CA file cannot be read (HTTPS then fails to connect).
bool SetupTls(const std::string& caFile);

// The name the next TLS session must prove (SNI and certificate check).
void SetTlsPeerName(const std::string& host);
