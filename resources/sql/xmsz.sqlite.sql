-- Settings of the optional test items, one row per senior grade (nj = 31, 32, 33).
CREATE TABLE xmsz (
  nj      char(2) NOT NULL PRIMARY KEY,
  xm_z_m  char(1),
  xm_5_m  char(1),
  xm_l_m  char(1),
  xm_t_m  char(1),
  xm_58_m char(1),
  xm_w_m  char(1),
  xm_1_m  char(1),
  xm_8_w  char(1),
  xm_z_w  char(1),
  xm_5_w  char(1),
  xm_l_w  char(1),
  xm_t_w  char(50),
  xm_58_w char(1),
  xm_w_w  char(1),
  xm_y_w  char(1)
);
