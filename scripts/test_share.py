#!/usr/bin/env python3
# The share of test code: C++ lines that are neither blank nor only a comment,
# under tests/ against all other C++ of the repository (bench/, fuzz/ and
# build folders in neither).  The project keeps it at most 33 %.
#   python3 scripts/test_share.py [ROOT] [-v]
import os
import sys
args=[a for a in sys.argv[1:] if a!='-v']
root=args[0] if args else '.'
EXT=('.cpp','.h','.hpp','.cc','.cxx')
def count(path):
    n=0; inblock=False
    for line in open(path,encoding='utf-8',errors='replace'):
        s=line.strip()
        if inblock:
            if '*/' in s:
                inblock=False; s=s.split('*/',1)[1].strip()
                if not s: continue
            else: continue
        if not s or s.startswith('//'): continue
        if s.startswith('/*'):
            if '*/' not in s: inblock=True; continue
            rest=s.split('*/',1)[1].strip()
            if not rest or rest.startswith('//'): continue
        n+=1
    return n
tests=prod=0; per={}
for d,subs,files in os.walk(root):
    rel=os.path.relpath(d,root)
    top=rel.split(os.sep)[0]
    if top.startswith('build') or top in('bench','fuzz','.git'): subs[:]=[]; continue
    for f in files:
        if f.endswith(EXT):
            p=os.path.join(d,f); c=count(p)
            if top=='tests': tests+=c; per[os.path.relpath(p,root)]=c
            else: prod+=c
print(f"tests {tests} / product {prod} = {100*tests/prod:.1f} %")
if '-v' in sys.argv:
    for k,v in sorted(per.items(),key=lambda x:-x[1]): print(v,k)
