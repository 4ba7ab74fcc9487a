#pragma once
// The device files of the board's drivers. Each helper returns a constant
// text; devices without a helper are named where they are opened.

const char* GetVoiceDevName();     // "/dev/voice"
const char* GetMixerDevName();     // "/dev/mixer"
const char* GetDTMFDevName();      // "/dev/dtmf"
const char* GetDSPDevName();       // "/dev/dsp"
const char* GetRtpDevName();       // "/dev/rtp"
const char* GetRtpExtDevName();    // "/dev/rtp_ext"
const char* GetModemDevName();     // "/dev/mctl"
const char* GetMaintenance();      // "/dev/maintenance"
const char* GetSpiTdmDevName();    // "/dev/spi_tdm"
const char* GetUsbTdmDevName();    // "/dev/usb_tdm"

inline constexpr const char kHalDevName[] = "/dev/hal";
inline constexpr const char kMccCtlDevName[] = "/dev/mcc/ctl";
inline constexpr const char kCasDevName[] = "/dev/e1-cas";
inline constexpr const char kDspDataDevName[] = "/dev/dsp-data";
// printf format of the modem data devices, filled with the modem number.
inline constexpr const char kModemDataDevFormat[] = "/dev/mdm%d";
