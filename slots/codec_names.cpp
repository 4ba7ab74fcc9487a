#include "slots/codec_names.h"

const char* GetCodecAsStr(int codec) {
  static const char* const names[] = {"unknown", "g711", "g723", "g729", "tonec",
                                      "g711-rtp", "g729-rtp", "g723-rtp", "conf"};
  if (codec < 0 || codec >= int(sizeof names / sizeof names[0])) return "invalid";
  return names[codec];
}
