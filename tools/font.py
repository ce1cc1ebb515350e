"""The game's font: Comic Neue Regular drawn at 94 % of its size.

The screens put their labels at fixed places on fixed plates sized for a
narrower comic face; at full size "Commencer" would run 6 pixels past its
125-pixel plate. Every outline, metric and kerning value is scaled, so the
shapes and spacing stay those of Comic Neue. As a modified version it goes
by its own name, under the same SIL Open Font License.

    /usr/bin/python3 font.py SOURCE.otf DEST
"""
import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.scaleUpem import scale_upem

SCALE = 0.94
FAMILY = "Glouto Comic"
POSTSCRIPT = "GloutoComic-Regular"


def shrink(font, scale):
    # Scaling everything to a smaller em and then calling that em the old
    # one draws every glyph smaller by `scale` at any size.
    upem = font["head"].unitsPerEm
    scale_upem(font, round(upem * scale))
    font["head"].unitsPerEm = upem
    font["CFF "].cff.topDictIndex[0].FontMatrix = [1 / upem, 0, 0, 1 / upem, 0, 0]


def rename(font):
    names = {1: FAMILY, 3: POSTSCRIPT, 4: FAMILY + " Regular", 6: POSTSCRIPT, 16: FAMILY}
    for record in font["name"].names:
        if record.nameID in names:
            record.string = names[record.nameID]
    cff = font["CFF "].cff
    cff.fontNames = [POSTSCRIPT]
    top = cff.topDictIndex[0]
    top.FamilyName = FAMILY
    top.FullName = FAMILY + " Regular"


def main():
    source, dest = sys.argv[1], sys.argv[2]
    font = TTFont(source)
    shrink(font, SCALE)
    rename(font)
    font.save(dest)


if __name__ == "__main__":
    main()
