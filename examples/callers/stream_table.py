"""Print a file's stream table and one block's results with pandas.

    PYTHONPATH=build/python python3 examples/callers/stream_table.py \
        examples/flowsheet.sum data H1
"""
import sys

import flowsum


def main(argv):
    if len(argv) < 2:
        print("usage: stream_table.py SUMMARY-FILE [DATA-FOLDER [BLOCK]]", file=sys.stderr)
        return 2
    try:
        with flowsum.open(argv[1], units="SI", ref_dir=argv[2] if len(argv) > 2 else None) as s:
            print(s.run_info()["title"])
            print(s.stream_table(basis="MOLE-FLOW").to_string())
            if len(argv) > 3:
                print(s.block_results(argv[3]).to_string(index=False))
    except flowsum.Error as e:
        print(f"stream_table.py: {e}", *e.messages, sep="\n  ", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
