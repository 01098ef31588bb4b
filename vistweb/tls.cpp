#include "vistweb/tls.h"

#include <connect/ncbi_connssl.h>
#include <connect/ncbi_gnutls.h>
#include <connect/ncbi_socket.h>
#include <gnutls/gnutls.h>

namespace {

gnutls_certificate_credentials_t g_credentials = nullptr;
SOCKSSL g_toolkit = nullptr;
struct SOCKSSL_struct g_wrapped;
std::string g_peerName;
bool g_ready = false;

void* CreateVerifiedSession(ESOCK_Side side, SOCK sock, NCBI_CRED cred, int* error) {
  void* session = g_toolkit->Create(side, sock, cred, error);
  if (session == nullptr) return nullptr;
  auto* tls = static_cast<gnutls_session_t>(session);
  int status = gnutls_credentials_set(tls, GNUTLS_CRD_CERTIFICATE, g_credentials);
  if (status == GNUTLS_E_SUCCESS && !g_peerName.empty())
    status = gnutls_server_name_set(tls, GNUTLS_NAME_DNS, g_peerName.data(), g_peerName.size());
  if (status != GNUTLS_E_SUCCESS) {
    g_toolkit->Delete(session);
    *error = status;
    return nullptr;
  }
  // The handshake fails unless the chain verifies and names this host.
  gnutls_session_set_verify_cert(tls, g_peerName.empty() ? nullptr : g_peerName.c_str(), 0);
  return session;
}

SOCKSSL WrappedSetup() { return &g_wrapped; }

}  // namespace

bool SetupTls(const std::string& caFile) {
  if (g_ready) return true;
  g_toolkit = NcbiSetupGnuTls();
  if (g_toolkit == nullptr || g_toolkit->Create == nullptr) return false;
  if (gnutls_global_init() != GNUTLS_E_SUCCESS) return false;
  if (gnutls_certificate_allocate_credentials(&g_credentials) != GNUTLS_E_SUCCESS) return false;
  gnutls_certificate_set_x509_system_trust(g_credentials);
  if (!caFile.empty() &&
      gnutls_certificate_set_x509_trust_file(g_credentials, caFile.c_str(), GNUTLS_X509_FMT_PEM) <= 0)
    return false;
  g_wrapped = *g_toolkit;
  g_wrapped.Create = CreateVerifiedSession;
  SOCK_SetupSSL(WrappedSetup);
  g_ready = true;
  return true;
}

void SetTlsPeerName(const std::string& host) { g_peerName = host; }
