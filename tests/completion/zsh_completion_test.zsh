#!/usr/bin/env zsh
# The zsh completion, loaded by compinit in an interactive zsh on a pseudo-terminal: a Tab after
# "qel2br --gr" must complete "--groups".
#   zsh_completion_test.zsh COMPLETION_FOLDER
zmodload zsh/zpty || { print "no zsh/zpty module"; exit 77 }
folder=$1
zpty q 'zsh -f -i'
zpty -w q "fpath=(${(q)folder} \$fpath); autoload -U compinit; compinit -u -D; PS1='> '"
zpty -w -n q $'qel2br --gr\t'
screen=""
# Up to 20 s for the shell to start, load the completion and answer the Tab.
for i in {1..100}; do
  while zpty -r -t q chunk; do screen+=$chunk; done
  [[ $screen == *'qel2br --groups'* ]] && break
  sleep 0.2
done
zpty -d q
if [[ $screen == *'qel2br --groups'* ]]; then
  print "1 passed, 0 failed"
  exit 0
fi
print -r -- "a Tab after 'qel2br --gr' did not give '--groups'; the terminal showed:"
print -r -- "${screen//$'\e'/^[}"
print "0 passed, 1 failed"
exit 1
