#!/usr/bin/env python3
"""Writes the built-in sample class: a 40-item mathematics quiz over 20 concepts
taken by 35 students; and the same class as the two sheets a teacher would
import it from (sheets/answers.csv, sheets/qmatrix.csv).

The three files are written exactly as the program's editors save them: code
page 950, a count or code per line ended by CR LF, then the editor's text box
whose lines end with LF CR LF, then a closing CR LF. Run it from anywhere; the
output is deterministic, and the files it writes are committed.
"""
import math
import pathlib
import random

NAME = "91第一次數學小考"
LINE_BREAK = "\n\r\n"   # how the editors end each line of their text boxes
RECORD_END = "\r\n"     # how the editors end each record they write

CONCEPTS = [
    "正負數",             # 1
    "整數四則運算",       # 2
    "分數的加減",         # 3
    "分數的乘除",         # 4
    "小數",               # 5
    "比與比值",           # 6
    "百分率",             # 7
    "因數與倍數",         # 8
    "最大公因數與最小公倍數",  # 9
    "角度",               # 10
    "三角形",             # 11
    "四邊形",             # 12
    "圓與圓周率",         # 13
    "面積",               # 14
    "體積",               # 15
    "代數式的化簡",       # 16
    "一元一次方程式",     # 17
    "統計圖表",           # 18
    "平均數",             # 19
    "速率",               # 20
]

# The concepts each item involves (1-based), in item order, with a note on the
# item and its difficulty (higher is harder).
ITEMS = [
    ([2], "四則混合計算", -1.6),
    ([1, 2], "正負數的加減", -1.0),
    ([16], "代入求值", -0.5),
    ([3], "異分母分數相加", -0.8),
    ([3, 4], "分數四則混合", 0.2),
    ([4, 2], "分數乘整數的應用", -0.3),
    ([5], "小數的乘法", -1.0),
    ([5, 7], "小數化為百分率", -0.2),
    ([6], "化簡比值", -0.5),
    ([6, 4], "比值與分數", 0.3),
    ([7], "打折問題", 0.0),
    ([7, 5, 2], "利息計算", 0.9),
    ([8], "找出因數", -1.3),
    ([8, 9], "公因數與公倍數的判別", 0.1),
    ([9, 2], "最小公倍數的應用", 0.6),
    ([10], "量角器讀角度", -1.1),
    ([10, 11], "三角形內角和", -0.2),
    ([11, 14], "三角形面積", 0.0),
    ([12, 14], "梯形面積", 0.4),
    ([12, 10], "平行四邊形的角", 0.5),
    ([13], "圓周長", -0.4),
    ([13, 14], "圓面積", 0.3),
    ([13, 14, 5], "扇形面積", 1.2),
    ([14, 2], "複合圖形面積", 0.7),
    ([15], "長方體體積", -0.6),
    ([15, 13], "圓柱體積", 0.8),
    ([15, 4], "體積與分數", 1.0),
    ([16], "合併同類項", -0.3),
    ([16, 2], "去括號化簡", 0.4),
    ([17], "解一元一次方程式", 0.0),
    ([17, 3], "含分數的方程式", 0.9),
    ([17, 6], "比例式求未知數", 0.6),
    ([17, 16, 2], "列式並解應用題", 1.4),
    ([18], "讀長條圖", -1.4),
    ([18, 7], "圓形圖的百分率", 0.2),
    ([19], "求平均數", -0.7),
    ([19, 18], "由折線圖求平均", 0.5),
    ([20], "速率的換算", 0.3),
    ([20, 17], "相遇問題", 1.3),
    ([20, 6, 5], "速率與時間的比", 1.1),
]

KEY = "BDACACBDABDCABDACBDCABDCABCADBDACBCADBCA"

FIRST_ID = 90702001
# Ability of each student, in ID order (logit scale).
ABILITY = [
    1.6, 0.4, -0.3, 2.2, 9.0, 0.9, -1.2, 1.1, 0.2, -0.6,
    2.6, -2.4, 0.7, 1.3, -0.1, 0.5, 3.0, -0.9, 0.8, 1.8,
    -1.6, 0.3, 1.0, -0.4, 2.0, 0.0, 0.6, -3.2, 1.4, -0.2,
    0.1, 2.4, -0.8, 1.2, 0.9,
]
MISSING_CODE = "8"
ERROR_CODE = "9"
# Students who left the last items blank (recorded with the missing-data code)
# or whose marks could not be read (recorded with the error-data code).
MISSING_FROM = {90702019: 34}       # items 34 to 40 left blank
ERROR_ITEMS = {90702027: [6, 21]}   # two unreadable marks


def answers_for(student_id, ability, rng):
    answers = []
    for index, (_, _, difficulty) in enumerate(ITEMS):
        item = index + 1
        key = KEY[index]
        # A weak student still guesses right about one time in four.
        p = 0.25 + 0.75 / (1.0 + math.exp(-(ability - difficulty)))
        if rng.random() < p:
            answer = key
        else:
            answer = rng.choice([c for c in "ABCD" if c != key])
        if item >= MISSING_FROM.get(student_id, len(ITEMS) + 1):
            answer = MISSING_CODE
        if item in ERROR_ITEMS.get(student_id, []):
            answer = ERROR_CODE
        answers.append(answer)
    return "".join(answers)


def grouped(answers):
    groups = [answers[i:i + 5] for i in range(0, len(answers), 5)]
    return " ".join(groups)


def student_answers():
    rng = random.Random(91)
    return [(FIRST_ID + offset, answers_for(FIRST_ID + offset, ability, rng))
            for offset, ability in enumerate(ABILITY)]


def student_file():
    lines = [f"{student_id} {grouped(answers)}" for student_id, answers in student_answers()]
    box = "".join(line + LINE_BREAK for line in lines)
    return MISSING_CODE + RECORD_END + ERROR_CODE + RECORD_END + KEY + RECORD_END + box + RECORD_END


def concept_file():
    box = "".join(f"{i} {label}{LINE_BREAK}" for i, label in enumerate(CONCEPTS, 1))
    return f"{len(CONCEPTS)}{RECORD_END}{box}{RECORD_END}"


def item_concept_file():
    box = "".join(
        f"{i} {''.join(f'{c},' for c in concepts)}{LINE_BREAK}"
        for i, (concepts, _, _) in enumerate(ITEMS, 1))
    return f"{len(ITEMS)}{RECORD_END}{box}{RECORD_END}"


def csv_text(rows):
    """A sheet as a spreadsheet program saves it: UTF-8 with a byte order
    mark (without one, Excel on Traditional Chinese Windows reads Big5), CR LF."""
    def field(text):
        if any(c in text for c in ',"\r\n'):
            return '"' + text.replace('"', '""') + '"'
        return text
    return "\ufeff" + "".join(",".join(map(field, row)) + "\r\n" for row in rows)


def answer_sheet():
    """The class as a teacher's answer sheet: the key row first, then one row
    per student; a blank mark is an empty cell."""
    header = ["學號"] + [f"第{i}題" for i in range(1, len(ITEMS) + 1)]
    rows = [header, ["答案"] + list(KEY)]
    for student_id, answers in student_answers():
        rows.append([str(student_id)] + ["" if a == MISSING_CODE else a for a in answers])
    return csv_text(rows)


def qmatrix_sheet():
    """Which concepts each item involves: 1 where it does, empty elsewhere."""
    rows = [["題目"] + CONCEPTS]
    for concepts, note, _ in ITEMS:
        rows.append([note] + ["1" if c in concepts else "" for c in range(1, len(CONCEPTS) + 1)])
    return csv_text(rows)


def check():
    assert len(KEY) == len(ITEMS) == 40 and set(KEY) <= set("ABCD")
    assert len(ABILITY) == 35
    used = {c for concepts, _, _ in ITEMS for c in concepts}
    assert used == set(range(1, len(CONCEPTS) + 1)), "every concept is used"
    assert all(1 <= len(concepts) <= 3 for concepts, _, _ in ITEMS)


def main():
    check()
    root = pathlib.Path(__file__).resolve().parent
    for folder, text in (("Data", student_file()), ("ConceptNote", concept_file()),
                         ("ItemConcept", item_concept_file())):
        path = root / folder / f"{NAME}.txt"
        path.parent.mkdir(exist_ok=True)
        path.write_bytes(text.encode("cp950"))
    sheets = root / "sheets"
    sheets.mkdir(exist_ok=True)
    (sheets / "answers.csv").write_bytes(answer_sheet().encode("utf-8"))
    (sheets / "qmatrix.csv").write_bytes(qmatrix_sheet().encode("utf-8"))


if __name__ == "__main__":
    main()
