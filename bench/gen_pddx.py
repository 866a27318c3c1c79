#!/usr/bin/env python3
"""gen_pddx.py OUTPUT LOCATIONS DROPS [SAMPLES]: writes a PDDX file of LOCATIONS test locations with
DROPS drops each (nine sensors), as a large survey would give; with SAMPLES, each drop is followed
by a time history of that many samples (DropHistoryData_d_s), as a device that keeps them writes.
Its device is in good order: the calibration rules of `check` find little in it."""
import random
import sys


def main():
    output, locations, drops = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    samples = int(sys.argv[4]) if len(sys.argv) > 4 else 0
    rng = random.Random(7)
    head = [
        "[Pavement Deflection Data Exchange File]", "PDDXVersionNumber = 1.0", "VantrelVersionNumber = 1.3.2",
        "DelimiterSymbol = ,", "DecimalSymbol = .", "",
        "[Operations Information]", "DelimiterSymbol = ,", "DecimalSymbol = .", "FileName = SURVEY.DDX",
        "StartTime = 08:00:00", "StartDate = 07-Apr-2004", "OperatorName = Bench", "",
        "[Units]", "LoadUnits = kilo-Newton", "DeflectionUnits = micron", "DropHistoryDataFrequencyUnits = Hertz",
        "LoadPlateRadiusUnits = millimeter", "SensorsLocationUnits = millimeter", "",
        "[Device Information]", "DeviceSerialNumber = 8000-123", "DeviceLoadType = Impulse", "",
        "[Device Configuration]", "LoadPlateRadius = 150", "NumberOfDeflectionSensors = 9",
        "DeflectionSensorXAxisDistances = 0, 200, 300, 450, 600, 900, 1200, 1500, 1800", "",
        "[Device Calibration]", "", "[Location Identification]", "SiteName = Bench road", "",
        "[Deflection Data]", f"NumberOfTestLocations = {locations}", "",
    ]
    with open(output, "w", newline="\r\n", encoding="latin-1") as out:
        out.write("\n".join(head) + "\n")
        for loc in range(1, locations + 1):
            # A test every 4 seconds, drops from three heights in turn, each within 2 % of its load,
            # as a device in good order gives them.
            time = 9 * 3600 + loc * 4
            lines = [f"[Test Location {loc}]", f"TestLocation = {loc * 25}, 0, 0", "TestLane = 1",
                     f"TestTime = {time // 3600:02d}:{time // 60 % 60:02d}:{time % 60:02d}", f"NumberOfDrops = {drops}"]
            for d in range(1, drops + 1):
                load = (40, 50, 60)[d % 3] * (0.98 + rng.random() * 0.04)
                deflections = ", ".join(str(int(900 / (i + 1) + rng.random() * 10)) for i in range(9))
                lines.append(f"DropData_{d} = {load:.1f}, {deflections}")
                for t in range(1, samples + 1):
                    values = ", ".join(f"{rng.random() * 400:.2f}" for _ in range(10))
                    lines.append(f"DropHistoryData_{d}_{t} = {values}")
            out.write("\n".join(lines) + "\n\n")


if __name__ == "__main__":
    main()
