#pragma once
// What both Carl Bro readers write of the device.

#include "document/PDDXFile.h"

namespace vantrel {

// The closing values both Carl Bro readers give every document: the machine is always the same.
inline void SetCarlBroDevice(PDDXFile& document)
{
    document.Element("Units", "DropHistoryDataFrequencyUnits").SetValue("Hertz");
    document.Element("Device Information", "DeviceDesignationName").SetValue("CarlBro FWD");
    document.Element("Device Information", "DeviceModelNumber").SetValue("PRI 2100");
    document.Element("Device Information", "DeviceLoadType").SetValue("Impulse");
}

}  // namespace vantrel
