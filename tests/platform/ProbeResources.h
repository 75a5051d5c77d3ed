#pragma once
// The probes' resource table: the templates of the dialogs that exercise the
// layer, and the resources of the probes' module (tests/platform/probe.rc).

#include "platform/Resources.h"
#include "tests/platform/ProbeResourceIds.h"

namespace quotamin::test {

enum ProbeIds {
    kProbeTemplate = 900,
    kProbeWithDefaultTemplate = 901,
    // Only read from the module's resources: texts that a resource script must
    // quote, beyond ASCII, and a template without a font or a caption.
    kProbeTextsTemplate = 902,
    kProbeBareTemplate = 903,
    kNameEdit = 1201,
    kOpenNested = 1202,
    kShowBox = 1203,
    kFail = 1204,
    kEndWithSeven = 1205,
    kDefaultButton = 1206,
    kCheckBox = 1207,
    kRadioA = 1208,
    kRadioB = 1209,
    kDisabledButton = 1210,
};

ResourceTable ProbeResources();

}  // namespace quotamin::test
