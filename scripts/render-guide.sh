#!/usr/bin/env bash
# Renders the operator's guide (Markdown) as one HTML page.
# Usage: scripts/render-guide.sh VERSION GUIDE.md OUT.html
set -euo pipefail
version=$1 source=$2 out=$3
# Debian's python3 (python3-markdown), not one earlier on PATH.
/usr/bin/python3 - "$version" "$source" "$out" <<'PY'
import sys
import markdown

version, source, out = sys.argv[1:]
with open(source, encoding="utf-8") as f:
    text = f.read().replace("@VERSION@", version)
body = markdown.markdown(text, extensions=["tables", "toc", "fenced_code"],
                         output_format="html5")
page = f"""<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>velmora {version}: operator's guide</title>
<style>
body {{ font-family: sans-serif; max-width: 50em; margin: 1em auto; padding: 0 1em; line-height: 1.4; }}
table {{ border-collapse: collapse; }}
th, td {{ border: 1px solid #999; padding: 0.2em 0.5em; vertical-align: top; text-align: left; }}
code {{ background: #f3f3f3; }}
img {{ max-width: 100%; border: 1px solid #ccc; }}
</style>
</head>
<body>
{body}
</body>
</html>
"""
with open(out, "w", encoding="utf-8", newline="\r\n") as f:
    f.write(page)
PY
