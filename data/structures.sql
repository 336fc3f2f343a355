-- Starter structure database of Lamivex: common substrates and overlayers.
-- The build turns this list into share/lamivex/structures.sqlite; the tables themselves
-- (Substrate: Substrate, a1, a2, alpha, Notes; Overlayer: Overlayer, b1, b2, beta, Notes)
-- are made by the program, so this file holds only the records.
--
-- Surface lattice constants in Angstroms, angles in degrees, 4 decimals.
-- Hexagonal surfaces are given with the angle 60: the third substrate wave, which advances
-- one period along both a1 and a2, is then a first-order wave of the lattice. Select
-- "Hexagonal" in the main window for them.
--
-- Relations used for cubic crystals with bulk constant a:
--   fcc(111), diamond(111): hexagonal mesh, a_s = a/sqrt(2), angle 60
--   fcc(100), rock salt(100): square mesh, a_s = a/sqrt(2), angle 90
--   fcc(110): rectangular mesh, a/sqrt(2) along [1-10] by a along [001], angle 90
-- Bulk constants: room-temperature values of R. W. G. Wyckoff, Crystal Structures,
-- vol. 1, 2nd ed. (Interscience, 1963): the metals and silicon in chapter II (structures of
-- the elements), the alkali halides in chapter III (structures of the type RX, sodium
-- chloride arrangement). A value from a journal article names the article's first page.

INSERT INTO Substrate (Substrate, a1, a2, alpha, Notes) VALUES
  ('Ag(111)', 2.8892, 2.8892, 60,
   'fcc(111) surface of silver, 1x1 hexagonal mesh. a_s = a/sqrt(2) with the bulk constant a = 4.086 A (Wyckoff 1963, ch. II). Hexagonal.'),
  ('Au(111)', 2.8836, 2.8836, 60,
   'fcc(111) surface of gold, unreconstructed 1x1 hexagonal mesh (the herringbone 22 x sqrt(3) reconstruction is not included). a_s = a/sqrt(2) with a = 4.078 A (Wyckoff 1963, ch. II). Hexagonal.'),
  ('Cu(100)', 2.5562, 2.5562, 90,
   'fcc(100) surface of copper, 1x1 square mesh. a_s = a/sqrt(2) with a = 3.615 A (Wyckoff 1963, ch. II).'),
  ('Cu(110)', 2.5562, 3.615, 90,
   'fcc(110) surface of copper, 1x1 rectangular mesh: a1 = a/sqrt(2) along [1-10], a2 = a along [001], with a = 3.615 A (Wyckoff 1963, ch. II).'),
  ('Cu(111)', 2.5562, 2.5562, 60,
   'fcc(111) surface of copper, 1x1 hexagonal mesh. a_s = a/sqrt(2) with a = 3.615 A (Wyckoff 1963, ch. II). Hexagonal.'),
  ('graphite(0001)', 2.464, 2.464, 60,
   'Basal (0001) plane of hexagonal graphite, in-plane constant a = 2.464 A, with c = 6.711 A (P. Trucano and R. Chen, Nature 258, 136 (1975), neutron diffraction). Hexagonal.'),
  ('h-BN(0001)', 2.504, 2.504, 60,
   'Basal (0001) plane of hexagonal boron nitride, a = 2.504 A (R. S. Pease, Acta Cryst. 5, 356 (1952)). Hexagonal.'),
  ('KCl(100)', 4.4498, 4.4498, 90,
   'Rock-salt (100) cleavage face of potassium chloride, primitive square mesh a_s = a/sqrt(2) (edges along <110>) with a = 6.293 A (Wyckoff 1963, ch. III).'),
  ('MoS2(0001)', 3.1604, 3.1604, 60,
   'Basal (0001) plane of 2H-MoS2, a = 3.1604 A (B. Schoenfeld, J. J. Huang and S. C. Moss, Acta Cryst. B39, 404 (1983)). Hexagonal.'),
  ('NaCl(100)', 3.9881, 3.9881, 90,
   'Rock-salt (100) cleavage face of sodium chloride, primitive square mesh a_s = a/sqrt(2) (edges along <110>) with a = 5.640 A (Wyckoff 1963, ch. III).'),
  ('Ni(111)', 2.4918, 2.4918, 60,
   'fcc(111) surface of nickel, 1x1 hexagonal mesh. a_s = a/sqrt(2) with a = 3.524 A (Wyckoff 1963, ch. II). Hexagonal.'),
  ('Pt(111)', 2.7747, 2.7747, 60,
   'fcc(111) surface of platinum, 1x1 hexagonal mesh. a_s = a/sqrt(2) with a = 3.924 A (Wyckoff 1963, ch. II). Hexagonal.'),
  ('Si(111)', 3.8403, 3.8403, 60,
   'Diamond-structure (111) surface of silicon, bulk-terminated 1x1 hexagonal mesh (the 7x7 reconstruction is 7 times larger). a_s = a/sqrt(2) with a = 5.431 A (Wyckoff 1963, ch. II). Hexagonal.');

INSERT INTO Overlayer (Overlayer, b1, b2, beta, Notes) VALUES
  ('C60', 10.0197, 10.0197, 60,
   'Close-packed (111) layer of fcc C60, nearest-neighbour distance a/sqrt(2) with a = 14.17 A at room temperature (P. A. Heiney et al., Phys. Rev. Lett. 66, 2911 (1991)).'),
  ('graphene', 2.464, 2.464, 60,
   'Single graphite layer; in-plane constant of graphite a = 2.464 A (P. Trucano and R. Chen, Nature 258, 136 (1975)). Free-standing value: on metals it is strained.'),
  ('NTCDA', 7.89, 5.33, 90,
   'ab plane of bulk monoclinic NTCDA (1,4,5,8-naphthalenetetracarboxylic dianhydride), P2_1/c, a = 7.89 A, b = 5.33 A, angle 90 (unique axis b) (H. Born and W. Heywang, Z. Kristallogr. 190, 147 (1990)). Monolayers on metals form other cells.'),
  ('pentacene', 5.958, 7.596, 89.8,
   'ab plane of the pentacene thin-film phase, the phase of films grown on inert substrates: a = 5.958 A, b = 7.596 A, gamma = 89.80 (S. Schiefer, M. Huth, A. Dobrinevski and B. Nickel, J. Am. Chem. Soc. 129, 10316 (2007)).'),
  ('PTCDA bulk (102)', 19.91, 11.96, 90,
   '(102) plane of bulk alpha-PTCDA (3,4,9,10-perylenetetracarboxylic dianhydride), the herringbone plane of the crystal: rectangular cell 19.91 A x 11.96 A (S. R. Forrest, Chem. Rev. 97, 1793 (1997)). Not a monolayer cell: for PTCDA on Ag(111) take PTCDA/Ag(111).'),
  ('PTCDA/Ag(111)', 18.96, 12.61, 90,
   'Herringbone monolayer of PTCDA on Ag(111), two molecules per cell: rectangular within the error, 18.96 A x 12.61 A, commensurate with the matrix (6 1; -3 5) (K. Gloeckler et al., Surf. Sci. 405, 1 (1998), from LEED and STM).');
