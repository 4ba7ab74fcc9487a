#pragma once
// Names of the codec kind numbers the DSP drivers report.

// 0 "unknown", 1 "g711", 2 "g723", 3 "g729", 4 "tonec", 5 "g711-rtp",
// 6 "g729-rtp", 7 "g723-rtp", 8 "conf"; any other number "invalid".
const char* GetCodecAsStr(int codec);
