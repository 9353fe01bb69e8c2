"""Writing a generated file of the tree, or, with --check among the arguments, failing when the
file in the tree is not what its sources give now."""
import sys
from pathlib import Path


def write_or_check(target: Path, text: str, sources: str) -> None:
    if "--check" in sys.argv[2:]:
        if target.read_text(encoding="utf-8") != text:
            sys.exit(f"{target} is not what {sources} give: run {Path(sys.argv[0]).name} without --check")
        return
    target.write_text(text, encoding="utf-8")
