// The helper's own settings: section [VISTWEB] of the workbench's vistram.cfg
// (the file named in VISTWEB_CONFIG, else the one beside the workbench
// program named on the request's CallBack line, else beside the helper), each
// overridden by an environment variable.
#pragma once
#include <string>

struct HelperSettings {
  int timeLimit = 1800;      // TIME_LIMIT / VISTWEB_TIME_LIMIT: seconds for the whole run
  int pollInterval = 0;      // POLL_INTERVAL / VISTWEB_POLL_INTERVAL: seconds; 0 keeps each
                             // server's own pace (6 s for the old NCBI pages, 60 s for the URL API)
  std::string caFile;        // CA_FILE / VISTWEB_CA_FILE: extra trusted certificates (PEM)
  std::string email;         // EMAIL / VISTWEB_EMAIL: sent to NCBI with each search
  std::string blastDb;       // BLASTDB / VISTWEB_BLASTDB: folder of the local BLAST databases
};

// The settings of the vistram.cfg file at `configPath` (missing file or keys:
// the defaults), then the environment. Numbers below 1 keep their defaults.
HelperSettings LoadHelperSettings(const std::string& configPath);

// The configuration file the workbench names in VISTWEB_CONFIG when it starts
// the helper; else the vistram.cfg beside the program `callback`, or beside
// the running helper when the callback is empty.
std::string HelperConfigPath(const std::string& callback);
