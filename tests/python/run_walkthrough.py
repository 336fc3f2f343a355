"""Runs the python code blocks of a Markdown page in order, in one namespace, as a notebook
would; a block that raises fails the test with the block's number."""

import re
import sys
import traceback

text = open(sys.argv[1], encoding="utf-8").read()
blocks = re.findall(r"^```python\n(.*?)^```", text, flags=re.M | re.S)
if not blocks:
    sys.exit("no python blocks in " + sys.argv[1])
namespace = {}
for number, block in enumerate(blocks, 1):
    try:
        exec(compile(block, f"block {number}", "exec"), namespace)
    except Exception:
        traceback.print_exc()
        sys.exit(f"block {number} of {sys.argv[1]} failed")
print(f"{len(blocks)} blocks ran")
