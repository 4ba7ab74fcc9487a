#include "slots/device_names.h"

const char* GetVoiceDevName() { return "/dev/voice"; }
const char* GetMixerDevName() { return "/dev/mixer"; }
const char* GetDTMFDevName() { return "/dev/dtmf"; }
const char* GetDSPDevName() { return "/dev/dsp"; }
const char* GetRtpDevName() { return "/dev/rtp"; }
const char* GetRtpExtDevName() { return "/dev/rtp_ext"; }
const char* GetModemDevName() { return "/dev/mctl"; }
const char* GetMaintenance() { return "/dev/maintenance"; }
const char* GetSpiTdmDevName() { return "/dev/spi_tdm"; }
const char* GetUsbTdmDevName() { return "/dev/usb_tdm"; }
