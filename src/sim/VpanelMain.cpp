// zorvan-vpanel: serves a virtual panel on a pseudo-terminal until it is stopped.
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <string>
#include <unistd.h>

#include "sim/VirtualPanel.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) { stopRequested = 1; }

int Usage() {
  std::fprintf(stderr,
               "usage: zorvan-vpanel [--version TEXT] [--typepan TEXT] [--master CODE] [--rate BYTES|--unlimited]\n"
               "                     [--gsm-level SIM1[,SIM2]] (0..31, \"+AQ\" of the active SIM)\n"
               "                     [--think MS] (time between the echo and the answer, 0..1000 ms)\n"
               "                     [--fault silent|err|ign|garbage|noise|nocarrier|close[:COMMAND[:COUNT]]]...\n"
               "                     [--modem [--registration home|roaming|never] [--busy] [--carrier-loss N]]\n"
               "                     [--loader-refuse BLOCK] [--loader-drop N] [--loader-erase-err]\n"
               "                     [--loader-drop-finish]\n"
               "Faults: garbage answers the echo with bytes that mean nothing and no OK; noise puts\n"
               "four such bytes between the echo and the real answer.\n"
               "Prints the device path of the panel's line and serves it until SIGINT or SIGTERM.\n"
               "The default rate is that of the programming cable (19200 bit/s, 8N2: 1745 bytes/s).\n"
               "--modem puts a virtual GSM modem in front of the panel: AT commands until a dial,\n"
               "then the data call carries the panel's lines; --busy answers the dial with BUSY;\n"
               "--carrier-loss N drops the carrier (NO CARRIER) after N panel commands.\n"
               "The boot loader (firmware update): --loader-refuse answers ERR to the write of block\n"
               "BLOCK (four hexadecimal digits, such as 0190); --loader-drop drops the call once,\n"
               "right after N blocks were acknowledged; --loader-erase-err answers ERR to \"+BE\";\n"
               "--loader-drop-finish drops the call (modem) right after acknowledging \"+EE\".\n");
  return 2;
}

bool ParseFault(const std::string& text, zorvan::sim::TFault& fault) {
  using zorvan::sim::TFaultKind;
  std::string kind = text.substr(0, text.find(':'));
  std::string rest = text.size() > kind.size() ? text.substr(kind.size() + 1) : "";
  if (kind == "silent") fault.kind = TFaultKind::Silent;
  else if (kind == "err") fault.kind = TFaultKind::Err;
  else if (kind == "ign") fault.kind = TFaultKind::Ign;
  else if (kind == "garbage") fault.kind = TFaultKind::Garbage;
  else if (kind == "noise") fault.kind = TFaultKind::Noise;
  else if (kind == "nocarrier") fault.kind = TFaultKind::NoCarrier;
  else if (kind == "close") fault.kind = TFaultKind::CloseLine;
  else return false;
  auto colon = rest.find(':');
  fault.command = rest.substr(0, colon);
  fault.count = colon == std::string::npos ? -1 : std::atoi(rest.c_str() + colon + 1);
  return true;
}

// "18" or "18,11"; each level 0..31.
bool ParseLevels(const std::string& text, std::array<int, 2>& levels) {
  auto comma = text.find(',');
  std::string first = text.substr(0, comma);
  std::string second = comma == std::string::npos ? first : text.substr(comma + 1);
  for (auto [part, level] : {std::pair{&first, &levels[0]}, std::pair{&second, &levels[1]}}) {
    if (part->empty() || part->size() > 2 || part->find_first_not_of("0123456789") != std::string::npos) return false;
    *level = std::atoi(part->c_str());
    if (*level > 31) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  zorvan::sim::TPanelOptions options;
  std::vector<zorvan::sim::TFault> faults;
  zorvan::sim::TModemOptions modem;
  zorvan::sim::TBootLoaderOptions loader;
  bool modemOption = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    const char* v = nullptr;
    if (arg == "--unlimited") options.lineRate = 0;
    else if (arg == "--modem") modem.enabled = true;
    else if (arg == "--busy") modem.busy = modemOption = true;
    else if (arg == "--loader-erase-err") loader.eraseErr = true;
    else if (arg == "--loader-drop-finish") loader.dropAfterFinish = true;
    else if (arg == "--loader-refuse" && (v = value()) != nullptr) {
      std::string block = v;
      if (block.size() != 4 || block.find_first_not_of("0123456789ABCDEF") != std::string::npos) return Usage();
      loader.refuseBlock = block;
    } else if (arg == "--loader-drop" && (v = value()) != nullptr) {
      char* end = nullptr;
      long n = std::strtol(v, &end, 10);
      if (*v == '\0' || *end != '\0' || n < 0 || n > 1000000) return Usage();
      loader.dropAfterBlocks = static_cast<int>(n);
    }
    else if (arg == "--registration" && (v = value()) != nullptr) {
      std::string state = v;
      modemOption = true;
      if (state == "home") modem.registration = zorvan::sim::TRegistration::Home;
      else if (state == "roaming") modem.registration = zorvan::sim::TRegistration::Roaming;
      else if (state == "never") modem.registration = zorvan::sim::TRegistration::Never;
      else return Usage();
    } else if (arg == "--carrier-loss" && (v = value()) != nullptr) {
      char* end = nullptr;
      long n = std::strtol(v, &end, 10);
      if (*v == '\0' || *end != '\0' || n < 0 || n > 1000000) return Usage();
      modem.carrierCommands = static_cast<int>(n);
      modemOption = true;
    } else if (arg == "--think" && (v = value()) != nullptr) {
      char* end = nullptr;
      double ms = std::strtod(v, &end);
      if (*v == '\0' || *end != '\0' || !(ms >= 0 && ms <= 1000)) return Usage();
      options.thinkMs = ms;
    } else if ((arg == "--version" || arg == "--typepan" || arg == "--master" || arg == "--rate" || arg == "--fault" ||
              arg == "--gsm-level") &&
             (v = value()) != nullptr) {
      if (arg == "--version") options.version = v;
      else if (arg == "--typepan") options.typepan = v;
      else if (arg == "--master") options.masterCode = v;
      else if (arg == "--rate") options.lineRate = std::atof(v);
      else if (arg == "--gsm-level") {
        if (!ParseLevels(v, options.gsmLevels)) return Usage();
      }
      else {
        zorvan::sim::TFault fault;
        if (!ParseFault(v, fault)) return Usage();
        faults.push_back(fault);
      }
    } else {
      return Usage();
    }
  }
  if (modemOption && !modem.enabled) return Usage();
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  zorvan::sim::TVirtualPanel panel(options, modem);
  try {
    std::printf("%s\n", panel.Start().c_str());
    std::fflush(stdout);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "zorvan-vpanel: %s\n", error.what());
    return 1;
  }
  for (auto& fault : faults) panel.AddFault(fault);
  panel.BootLoader().SetOptions(loader);
  while (!stopRequested) ::pause();
  panel.Stop();
  // For benchmarks: what crossed the line.
  std::fprintf(stderr, "zorvan-vpanel: bytes received %llu, sent %llu\n",
               static_cast<unsigned long long>(panel.BytesReceived()), static_cast<unsigned long long>(panel.BytesSent()));
  return 0;
}
