ln -s cards.inp link.inp
